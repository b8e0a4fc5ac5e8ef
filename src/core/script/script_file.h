// Script files: reading texts in the encodings a byte-order mark names (and
// UTF-8 or ANSI without one), writing UTF-8, and the file entry by mode.
#pragma once

#include <cstdint>
#include <string>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

enum class ReadResult { Ok, OpenFailed, RefusedEncoding };

// Reads a whole text file into text, each line followed by "\r\n". For a
// refused encoding, refusal receives its message ("UTF-16 (big endian) BOM
// detected." ...).
ReadResult readTextFile(Engine& e, TextView path, Text& text, Text& refusal);
// Decodes file bytes as readTextFile does.
ReadResult decodeText(Engine& e, std::string_view bytes, Text& text, Text& refusal);

// Writes text as UTF-8 without byte-order mark; append adds to the end of an
// existing file. False when the file cannot be opened or written.
bool writeTextFile(TextView path, TextView text, bool append);

// The entry of the file operations by mode (1, 2, 4, 6, 7, 8); gives the
// status code.
int32_t loadSaveFile(Engine& e, int mode);

}  // namespace quadrel
