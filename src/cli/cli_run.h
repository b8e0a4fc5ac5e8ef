// Runs what the arguments of the quadrel program ask for on one engine.
#pragma once

#include <cstdio>
#include <string>

#include "cli/cli_options.h"

namespace quadrel {

struct Engine;

// Exit codes of the program.
constexpr int kExitOk = 0;              // every command succeeded
constexpr int kExitRunFailed = 1;       // the run did not finish (nothing to run, a file not written)
constexpr int kExitWrongArguments = 2;  // arguments that cannot be run
constexpr int kExitCommandsFailed = 3;  // the run finished with failed commands

// Whether a run prints values alone (-e and typed lines without --report)
// rather than the result block (script files, --report).
inline bool printsValues(const CliOptions& o) { return !o.report && o.scriptFile.empty(); }

// Runs the arguments and gives the exit code. workingFolder is the data
// folder; the script is standard input's text when the script file is "-".
int runCli(Engine& e, const CliOptions& options, const std::string& workingFolder, std::FILE* out, std::FILE* err);

}  // namespace quadrel
