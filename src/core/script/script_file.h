// Script files: reading texts in the encodings a byte-order mark names (and
// UTF-8 or ANSI without one), writing UTF-8, and the file operations of runs
// and menus, each showing its own failure in a box.
#pragma once

#include <cstdint>
#include <string>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

enum class ReadResult { Ok, OpenFailed, RefusedEncoding, TooLarge };

// Reads a whole text file into text, each line followed by "\r\n". For a
// refused encoding, refusal receives its message ("UTF-16 (big endian) BOM
// detected." ...).
ReadResult readTextFile(Engine& e, TextView path, Text& text, Text& refusal);
// For a file past the size limit: sets code 13 and appends a report that
// names the limit and the file; gives the report's first line for a box.
Text refuseTooLarge(Engine& e, TextView procedure, TextView path);
// Decodes file bytes as readTextFile does.
ReadResult decodeText(Engine& e, std::string_view bytes, Text& text, Text& refusal);

// Writes text as UTF-8 without byte-order mark; append adds to the end of an
// existing file. False when the file cannot be opened or written.
bool writeTextFile(TextView path, TextView text, bool append);

// Reads path into text. A file that cannot be opened shows openError and the
// name and gives false, text untouched; a refused encoding shows why and
// leaves text empty.
bool loadTextFile(Engine& e, TextView path, TextView openError, Text& text);
// The command list file (ShowCmds.otm) beside the library.
Text commandListPath(Engine& e);
// Writes a run's text to its output file, replacing it or appending on a line
// of its own; false after the boxes when it cannot.
bool saveOutputFile(Engine& e, TextView path, TextView text, bool append);
// The name chosen in the open-file dialog; empty after the "cancelled" box.
Text askFileName(Engine& e);
// Asks for a file name and writes text there; false after the box.
bool saveTextAs(Engine& e, TextView text);

}  // namespace quadrel
