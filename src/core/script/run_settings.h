// Process-wide settings of script runs, set by the command line of the
// script entry and kept between calls until given again or reset.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct RunSettings {
  Text commandLine;
  Text inputFile;  // InpFN
  bool readFromFile = false;
  Text outputFile;  // OutpFN
  bool writeToFile = false;
  bool append = false;    // AppendF
  bool noHeader = false;  // NoHF
  Text selectionText;
  bool runSelection = false;   // getFromSelTextF
  bool toClipboard = false;    // SaveToClpBF
  bool deleteOutputs = false;  // delF
  Text lineList;               // LnsStr: ";2;12;"
  bool filterLines = false;    // lnsF
  int32_t lineOffset = 0;
  bool savePlots = false;  // splF
  Text savePlotPath;       // splPath
  bool logToFile = false;  // logF
  Text logFileName;        // logFileN
  bool noLabels = false;
  bool resultsOnly = false;  // noLnExpF
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
  bool progress = false;  // progress window during runs
};

}  // namespace quadrel
