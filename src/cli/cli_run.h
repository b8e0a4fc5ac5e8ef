// Runs what the arguments of the quadrel program ask for on one engine.
#pragma once

#include <cstdio>
#include <string>

#include "cli/cli_options.h"

namespace quadrel {

struct Engine;

// Gives the exit code: 0 after a run whose status is success, 1 after any
// other run, 2 for arguments that cannot be run. workingFolder is the data
// folder; script is standard input's text when the script file is "-".
int runCli(Engine& e, const CliOptions& options, const std::string& workingFolder, std::FILE* out, std::FILE* err);

}  // namespace quadrel
