// The script entry and its command line of "/" options.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Parses the process-wide command line into the run settings.
void parseCmdLine(Engine& e);

// Runs a command line: reports, script load, batch run, saving; gives the
// status code. The result text is left in the script state's resultText.
int32_t otmEvalMain(Engine& e, TextView commandLine);

int32_t fileAttr(TextView name, int32_t mask, bool probe);
Text makeFullPath(Engine& e, TextView baseFolder, TextView name, int mode);

}  // namespace quadrel
