// The folders and file names of script runs: the data folder, full paths of
// the names the command line gives, and the default output name.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The folder of the library file + "Quadrel" + separator.
Text defaultDataFolder(Engine& e);

// The log file a run writes to: the data folder's "otmCmds.log" when none
// is named, else the named one as a full path.
Text runLogFileName(Engine& e, TextView named);

// Whether an output name cannot name a result file: empty, ending with a
// separator, or an existing folder.
bool outputNamesFolder(Engine& e, TextView outputName);

// The default output: with an input file named and an output name that
// cannot name a result file, "Result.otm" in the input file's folder.
void defaultOutputName(Engine& e, Text& outputFile, TextView inputFile);

// The folder part of a save-plot path: "0" for "", "0" and "-1".
Text savePlotFolder(TextView path);

}  // namespace quadrel
