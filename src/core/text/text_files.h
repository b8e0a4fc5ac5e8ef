// Whole-file byte access for the core: every text file the library writes is
// UTF-8 without byte-order mark; paths are UTF-16 and work on both targets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/limits.h"
#include "core/text/u16.h"

namespace quadrel {

enum class WriteMode {
  Replace,         // create the file, or empty an existing one
  Append,          // add to the end, creating the file when missing
  AppendExisting,  // add to the end of a file that must already exist
};

enum class FileRead { Ok, OpenFailed, TooLarge };

// Reads all bytes of a file: OpenFailed when it cannot be opened (or is a
// folder), TooLarge (bytes empty) when it holds more than limit bytes; a
// device that never ends is read only up to the limit.
FileRead readFileBytes(TextView path, std::string& bytes, uint64_t limit = kMaxTextFileBytes);

// Writes bytes; false when the file cannot be opened or written.
bool writeFileBytes(TextView path, std::string_view bytes, WriteMode mode);

// Writes text as UTF-8, unchanged (no line end is added).
inline bool writeUtf8File(TextView path, TextView text, WriteMode mode) {
  return writeFileBytes(path, toUtf8(text), mode);
}

}  // namespace quadrel
