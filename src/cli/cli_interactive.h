// The interactive quadrel: runs each typed line on one engine, so variables,
// functions and matrices stay from line to line.
#pragma once

#include <cstdio>
#include <string>

#include "cli/cli_options.h"

namespace quadrel {

struct Engine;

// Where typed lines come from.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // Gives false at the end of input.
  virtual bool readLine(std::string& line) = 0;
};

// Runs lines until the end of input or a line "quit"; "help" lists the
// commands. A line that Ctrl+C interrupted (interruptFlag) stops and the
// session goes on. Each line is run as
// -e would run it (a line that is no command is a formula) and prints its
// result (only the results of commands that succeed, unless the options ask
// for less). Gives the exit code of the whole session: 1 when a line's run
// failed, else 3 when a command failed, else 0; 2 for options that need a
// script (-o, -a, --lines).
int runInteractive(Engine& e, const CliOptions& options, const std::string& workingFolder, LineSource& lines,
                   std::FILE* out, std::FILE* err);

}  // namespace quadrel
