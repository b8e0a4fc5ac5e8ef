// The command executor: runs a script text line by line and builds one
// result text with a block per command.
#pragma once

#include <cstdint>
#include <optional>
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
  // Keep what each command showed in the engine's value list as well (the
  // quadrel program prints values alone).
  bool collectValues = false;
};

// Splits a script into lines at "\r\n", "\r" or "\n" (appended to lines).
void splitLines(TextView text, std::vector<TextView>& lines);

// What one command showed: its result text without labels' blanks in front,
// or its error text.
struct CommandValue {
  int32_t lineNumber = 0;
  Text text;
  bool failed = false;
  std::optional<double> number;  // the value of a formula whose result is a number
};

// The true counts of a run, however many lines it had.
struct RunCounters {
  int64_t commands = 0;
  int64_t errors = 0;
};

// The packed form commands x 1000 + errors: errors stop at 999 so that they
// never spill into the commands; the whole stops at the largest int32.
int32_t packedCounts(const RunCounters& counts);

// Runs the script; result receives the result text (without trailing line
// ends) and counts, when given, the true counts. Gives the packed counts.
int32_t execCommands(Engine& e, TextView text, Text& result, const ExecOptions& options, RunCounters* counts = nullptr);

// Reads (any mode but "fileout") or writes ("fileout") a command file; a
// relative name is joined to the data folder.
Text cmdFileIO(Engine& e, TextView fileName, TextView mode, TextView text);

// Removes one leading "[" and one trailing "]".
Text stripBrackets(TextView name);

}  // namespace quadrel
