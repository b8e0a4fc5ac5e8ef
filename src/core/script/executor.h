// The command executor: runs a script text line by line and builds one
// result text with a block per command.
#pragma once

#include <cstdint>
#include <vector>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

struct ExecOptions {
  bool noLabels = false;     // empty labels
  bool filterLines = false;  // run only the lines of lineList
  int32_t lineOffset = 0;
  Text lineList;             // ";2;12;"
  bool progress = false;     // progress window before each command
  bool resultsOnly = false;  // no header line for commands that succeed
  bool savePlots = false;
};

// Splits a script into lines at "\r\n", "\r" or "\n" (appended to lines).
void splitLines(TextView text, std::vector<TextView>& lines);

// Runs the script; result receives the result text (without trailing line
// ends). Gives commands x 1000 + errors.
int32_t execCommands(Engine& e, TextView text, Text& result, const ExecOptions& options);

// Reads (any mode but "fileout") or writes ("fileout") a command file; a
// relative name is joined to the data folder.
Text cmdFileIO(Engine& e, TextView fileName, TextView mode, TextView text);

// Removes one leading "[" and one trailing "]".
Text stripBrackets(TextView name);

}  // namespace quadrel
