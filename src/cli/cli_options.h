// The arguments of the quadrel program: either a command line of "/"
// options for the script entry, or ordinary options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/text/u16.h"

namespace quadrel {

struct CliOptions {
  enum class Action { Run, EntryLine, Help, Version, Usage };
  Action action = Action::Run;
  std::string error;  // with Usage: what was wrong ("" when nothing was given)

  Text entryLine;  // EntryLine: the arguments joined with single blanks

  std::string scriptFile;  // FILE; "-" standard input read as a script file
  // No script file and no -e: standard input holds typed lines (read with
  // line editing when it is a terminal), run as -e lines are.
  bool standardInputImplied = false;
  // -e and typed lines print the full result block instead of values alone.
  bool report = false;
  std::vector<std::string> expressions;  // -e, one script line each
  std::string outputFile;                // -o / -a
  bool append = false;
  std::optional<Text> lineList;  // --lines 2,5 as ";2;5;"
  std::optional<int> decimals;
  bool noHeader = false, noLabels = false, resultsOnly = false;
  bool log = false;
  std::string logFile;      // --log=FILE
  std::string plotsFolder;  // --plots DIR: save every plot as a picture there
};

// isFile tells whether a name is an existing file: a first argument that
// starts with "/" is a command line for the script entry unless it names one.
// In such a command line, a file name after /i, /o or /a, or after /log: or
// /spl:, that is a POSIX path is written with "\" separators (which the
// script entry reads as a name, where "/" would start an option); isFolder
// tells whether the first folder of an absolute path exists.
CliOptions parseCliArguments(const std::vector<std::string>& args, bool (*isFile)(const std::string&),
                             bool (*isFolder)(const std::string&) = nullptr);

// The text of --help.
const char* cliUsage();

}  // namespace quadrel
