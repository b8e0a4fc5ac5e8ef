// Process-wide settings of script runs. The command line of otmEvalMain sets
// them and they stay between its calls until given again or reset; a run
// request (the plug-in, the quadrel program) replaces them whole.
#pragma once

#include <cstdint>

#include "core/script/executor.h"
#include "core/text/u16.h"

namespace quadrel {

// The executor's options are part of the run settings (their fields keep
// their names here): a run hands them to the executor as they stand.
struct RunSettings : ExecOptions {
  Text commandLine;  // parsed by otmEvalMain; for a run request only logged
  Text inputFile;    // InpFN
  bool readFromFile = false;
  Text outputFile;  // OutpFN
  bool writeToFile = false;
  // A file run's result is saved to the output file (the quadrel program
  // saves only when a file is named).
  bool saveFileRuns = true;
  bool append = false;    // AppendF
  bool noHeader = false;  // NoHF
  Text selectionText;
  // How the selection text came: joined from the pieces of a command line (a
  // trailing "/" and enclosing quotes come off), taken whole from /sel:'...'
  // with its two quotes (they come off, nothing else), or given as it
  // stands by a run request.
  enum class SelectionForm : uint8_t { Pieces, Quoted, AsGiven };
  SelectionForm selectionForm = SelectionForm::Pieces;
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
