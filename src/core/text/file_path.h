// The one way from a UTF-16 name to a file-system path and back. Conversion
// never throws: a name that has no path form on this system is a file that
// cannot be opened, and every caller reports it as such.
#pragma once

#include <filesystem>
#include <optional>

#include "core/text/u16.h"

namespace quadrel {

// The path of name, or nothing when name is empty or cannot be a path here:
// where files are named by UTF-8 bytes (Linux), a lone surrogate has no
// form. On Windows every UTF-16 name is passed on unchanged.
std::optional<std::filesystem::path> filePathOf(TextView name);

// The UTF-16 text of a path the system gave.
Text textOfFilePath(const std::filesystem::path& path);

}  // namespace quadrel
