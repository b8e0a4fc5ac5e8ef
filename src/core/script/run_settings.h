// Process-wide settings of script runs, set by the command line of the
// script entry and kept between calls until given again or reset.
#pragma once

#include <cstdint>

#include "core/script/executor.h"
#include "core/text/u16.h"

namespace quadrel {

// The executor's options are part of the run settings (their fields keep
// their names here): a run hands them to the executor as they stand.
struct RunSettings : ExecOptions {
  Text commandLine;
  Text inputFile;  // InpFN
  bool readFromFile = false;
  Text outputFile;  // OutpFN
  bool writeToFile = false;
  // A file run's result is saved to the output file (the quadrel program
  // saves only when a file is named).
  bool saveFileRuns = true;
  bool append = false;    // AppendF
  bool noHeader = false;  // NoHF
  Text selectionText;
  bool runSelection = false;   // getFromSelTextF
  bool toClipboard = false;    // SaveToClpBF
  bool deleteOutputs = false;  // delF
  // From ExecOptions: lineList (LnsStr), filterLines (lnsF), lineOffset,
  // savePlots (splF), noLabels, resultsOnly (noLnExpF), progress.
  Text savePlotPath;       // splPath
  bool logToFile = false;  // logF
  Text logFileName;        // logFileN
  bool repeat = false;
  bool remainResident = false;  // rrF
  bool quit = false;            // quitF
  bool resetRequested = false;  // rsetF
  bool fromClipboard = false;   // getFromClpF
  bool showHelp = false, showMemory = false, showLog = false, showFlags = false, showCommands = false,
       showWindow = false, showAbout = false;
  Text dataFolder;    // CurDir; kept when a caller has set it
  Text settingsFile;  // the plug-in's settings file, named in the run log
  bool firstRun = true;
};

}  // namespace quadrel
