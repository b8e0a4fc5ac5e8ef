// The script entry and its command line of "/" options.
#pragma once

#include <cstdint>

#include "core/script/run_settings.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Parses the process-wide command line into the run settings.
void parseCmdLine(Engine& e);

// Runs a command line: reports, script load, batch run, saving; gives the
// status code. The result text is left in the script state's resultText.
int32_t otmEvalMain(Engine& e, TextView commandLine);

// Runs a request as otmEvalMain runs a parsed command line, but nothing of it
// is read as options: the run settings become the request (its commandLine is
// only logged, its selection text is the script as given), keeping the
// process-wide data folder (unless the request names one), settings file and
// first-run flag. Nothing an earlier run set carries over.
int32_t runRequest(Engine& e, RunSettings request);

int32_t fileAttr(TextView name, int32_t mask, bool probe);
Text makeFullPath(Engine& e, TextView baseFolder, TextView name, int mode);

}  // namespace quadrel
