// Path texts in either notation: "\" and "/" both separate folders, and a
// letter with ":" starts a drive. Joining uses the separator the caller names
// (the platform's).
#pragma once

#include "core/text/u16.h"

namespace quadrel {

constexpr bool isPathSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// "/x", "\x" and "c:..." (any name whose second character is ":") are
// absolute; everything else is relative.
bool isAbsolutePath(TextView path);
bool endsWithSeparator(TextView path);

// The folder part, up to and including the last separator ("" when none).
TextView folderPart(TextView path);

// Every separator written as separator; "." folders left out, ".." folders
// taken back where a folder precedes them, doubled separators made single
// (except the two that start a network path).
Text normalizePath(TextView path, char16_t separator);

// folder + separator (when folder does not end with one) + name.
Text joinPath(TextView folder, TextView name, char16_t separator);

}  // namespace quadrel
