// The script entry: reports, script source, batch run, saving and the run log.
#include <string_view>

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/script/batch_run.h"
#include "core/script/command_line.h"
#include "core/script/file_probe.h"
#include "core/script/reports.h"
#include "core/script/script_file.h"
#include "core/script/script_paths.h"
#include "core/text/path_text.h"
#include "core/text/text_files.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

// One line of the run log: to the log file while /log is on, else nowhere.
void logLine(Engine& e, TextView text) {
  const RunSettings& s = e.script.settings;
  writeLogLine(e, text, s.logToFile ? 1 : 0, s.logToFile ? TextView(s.logFileName) : TextView(), false);
}

// label + the value in double quotes.
void logQuoted(Engine& e, TextView label, TextView value) {
  Text line(label);
  line.push_back(u'"');
  line.append(value);
  line.push_back(u'"');
  logLine(e, line);
}

// Full paths of the names of the command line, against the data folder.
void resolveNames(Engine& e) {
  RunSettings& s = e.script.settings;
  if (s.logToFile)
    s.logFileName = runLogFileName(e, s.logFileName);
  s.inputFile = makeFullPath(e, s.dataFolder, s.inputFile, 1);
  s.outputFile = makeFullPath(e, s.dataFolder, s.outputFile, 1);
  s.savePlotPath = savePlotFolder(s.savePlotPath);
}

void writeLogBlock(Engine& e, TextView currentFolder) {
  const RunSettings& s = e.script.settings;
  // Without a log file none of it would be written; its time stamp alone
  // reads the time zone file.
  if (!s.logToFile)
    return;
  logLine(e, informationBlock(e, false, false));
  Text time = u"BatchRun      : Time ";
  time.append(timeStamp(e));
  time.append(u"\r\n");
  logLine(e, time);
  logQuoted(e, u"INI File      : ", s.settingsFile);
  logQuoted(e, u"Log File      : ", s.logFileName);
  logQuoted(e, u"Command Line  : ", s.commandLine);
  logQuoted(e, u"Input File    : ", s.readFromFile ? TextView(s.inputFile) : TextView());
  logQuoted(e, u"Output File   : ", s.writeToFile ? TextView(s.outputFile) : TextView());
  logQuoted(e, u"Save Plot Path: ", s.savePlotPath);
  logQuoted(e, u"Current Folder: ", currentFolder);
}

// Shows the first report asked for among memory, log file and commands;
// false when none is.
bool showStoppingReport(Engine& e) {
  RunSettings& s = e.script.settings;
  if (s.showMemory) {
    s.showMemory = false;
    showReport(e, memoryReport(e));
  } else if (s.showLog) {
    s.showLog = false;
    showReport(e, logFileReport(e));
  } else if (s.showCommands) {
    s.showCommands = false;
    showReport(e, commandsReport(e));
  } else {
    return false;
  }
  return true;
}

enum class Source { None, File, Selection, Clipboard };

// Loads the script text from where the settings say; logs it.
Source loadScript(Engine& e) {
  RunSettings& s = e.script.settings;
  if (s.fromClipboard) {
    e.script.scriptText = e.platform.clipboardText();
    logQuoted(e, u"FromClipboard : ", e.script.scriptText);
    return Source::Clipboard;
  }
  if (s.readFromFile) {
    if (!loadTextFile(e, s.inputFile, u"Error 4: can't read the file\r\n", e.script.scriptText))
      e.script.status = kStatusOpenError;
    logQuoted(e, u"LoadFromFile  : ", s.inputFile);
    return Source::File;
  }
  if (s.runSelection) {
    e.script.scriptText = Text(trimBlanks(s.selectionText));
    s.selectionText.clear();
    logQuoted(e, u"Expression    : ", e.script.scriptText);
    return Source::Selection;
  }
  return Source::None;
}

// A script from the pieces of a command line loses a trailing "/", and a
// selection in "'" quotes loses them; a /sel:'...' text loses exactly its two
// quotes; a request's text stays as given.
void tidyScript(Text& script, RunSettings::SelectionForm form, bool quoted) {
  using Form = RunSettings::SelectionForm;
  if (form == Form::AsGiven)
    return;
  if (form == Form::Quoted) {
    script = script.size() < 2 ? Text() : Text(trimBlanks(TextView(script).substr(1, script.size() - 2)));
    return;
  }
  script = Text(trimBlanks(script));
  if (!script.empty() && script.back() == u'/') {
    script.pop_back();
    script = Text(trimBlanks(script));
  }
  if (quoted && !script.empty() && script.front() == u'\'') {
    script.erase(0, 1);
    if (!script.empty() && script.back() == u'\'')
      script.pop_back();
  }
}

void deleteOutputs(Engine& e) {
  const RunSettings& s = e.script.settings;
  removeFile(s.outputFile);
  // Appending needs a file to add to: it starts empty.
  if (s.append && !s.outputFile.empty())
    writeUtf8File(s.outputFile, u"", WriteMode::Replace);
  // An empty folder would be wherever the process happens to stand.
  if (s.savePlots && s.savePlotPath != u"0" && !s.savePlotPath.empty()) {
    // Only pictures of plots: other pictures of the folder stay.
    removeFilesMatching(s.savePlotPath, u"aPlotNr_", u".jpg");
    logQuoted(e, u"Deleted *.jpg : ", s.savePlotPath);
  }
}

uint64_t runBatch(Engine& e) {
  const RunSettings& s = e.script.settings;
  BatchOptions o;
  o.inputFile = s.inputFile;
  o.outputFile = s.outputFile;
  o.savePlotPath = s.savePlotPath;
  o.decimals = e.script.decimals;
  o.header = s.noHeader ? Text() : informationBlock(e, false, true);
  o.noHeader = s.noHeader;
  o.logMode = s.logToFile ? 1 : 0;
  o.exec = static_cast<const ExecOptions&>(s);
  const uint64_t start = e.platform.tickMs();
  batchRun(e, o);
  return e.platform.tickMs() - start;
}

// Saves a run's text to the output file (file runs) or puts it on the
// clipboard (/sclp).
void deliverResult(Engine& e, Source source, uint64_t milliseconds) {
  const RunSettings& s = e.script.settings;
  if (source == Source::File || (source == Source::Clipboard && s.writeToFile)) {
    e.script.scriptText.append(closingLine(e, milliseconds));
    if (source != Source::File || s.saveFileRuns) {
      if (!saveOutputFile(e, s.outputFile, e.script.scriptText, s.append))
        e.script.status = kStatusWriteError;
      logQuoted(e, u"SaveToFile    : ", s.outputFile);
    }
  } else if (s.toClipboard) {
    e.platform.setClipboardText(e.script.scriptText);
    logQuoted(e, u"Result        : ", e.script.scriptText);
  }
  logLine(e, u"            1 : Command Line Executed.");
}

// The start shared by both entries: an empty result, the run's line logged
// and the data folder known (a log line of /rset reads it).
void startRun(Engine& e) {
  RunSettings& s = e.script.settings;
  e.script.resultText.clear();
  e.script.status = kStatusOk;
  e.script.lastRunCommands = 0;
  e.script.lastRunErrors = 0;
  Text cmdLog = u": CmdLine = '";
  cmdLog.append(s.commandLine);
  cmdLog.push_back(u'\'');
  procedureLog(e, u"otmEvalMain()", cmdLog);
  if (s.dataFolder.empty())
    s.dataFolder = defaultDataFolder(e);
}

// Reports, script load, batch run and delivery, as the run settings say.
int32_t runSettings(Engine& e) {
  RunSettings& s = e.script.settings;
  if (s.showHelp) {
    s.showHelp = false;
    showReport(e, helpReport(e));
    return e.script.status;
  }
  resolveNames(e);
  if (s.showFlags) {
    s.showFlags = false;
    showReport(e, flagsReport(e));
  }
  if (s.showAbout) {
    s.showAbout = false;
    showReport(e, aboutReport(e));
  }

  // The folder the script's relative names would be read against.
  const Text currentFolder(folderPart(s.inputFile));
  if (s.firstRun || (s.writeToFile && !s.append)) {
    writeLogBlock(e, currentFolder);
    s.firstRun = false;
  }
  if (showStoppingReport(e))
    return e.script.status;

  const Source source = loadScript(e);
  if (source == Source::None) {
    Text error = u"Error : Invalid Input file.\r\nfilename: ";
    error.append(s.inputFile);
    error.append(u".\r\n Program will terminate.");
    logLine(e, error);
    e.script.status = kStatusInvalidParameter;
  } else {
    tidyScript(e.script.scriptText, source == Source::Selection ? s.selectionForm : RunSettings::SelectionForm::Pieces,
               source == Source::Selection);
    e.script.plotWindowCount = 0;
    if (s.deleteOutputs)
      deleteOutputs(e);
    const uint64_t milliseconds = runBatch(e);
    e.script.resultText = e.script.scriptText;
    Text codes = u"Eval Codes    : Ret = ";
    codes.append(intText(int64_t(e.script.resultText.size())));
    codes.append(u", ExitCode = ");
    codes.append(intText(e.script.status));
    logLine(e, codes);
    deliverResult(e, source, milliseconds);
  }

  Text end = u"Evaluation End: Exit code: ";
  end.append(intText(e.script.status));
  logLine(e, end);
  logLine(e, Text(53, u'-'));
  return e.script.status;
}

}  // namespace

int32_t otmEvalMain(Engine& e, TextView commandLine) {
  // One run at a time: a box or the progress window of a run pumps messages,
  // and a command that arrives there must not start a run inside the run.
  if (e.script.runInProgress)
    return kStatusRunRefused;
  const RunScope running(e.script);
  e.script.settings.commandLine = Text(commandLine);
  startRun(e);
  parseCmdLine(e);
  return runSettings(e);
}

int32_t runRequest(Engine& e, RunSettings request) {
  // Refused before the request replaces the running run's settings.
  if (e.script.runInProgress)
    return kStatusRunRefused;
  const RunScope running(e.script);
  RunSettings& s = e.script.settings;
  if (request.dataFolder.empty())
    request.dataFolder = std::move(s.dataFolder);
  request.settingsFile = std::move(s.settingsFile);
  request.firstRun = s.firstRun;
  request.selectionForm = RunSettings::SelectionForm::AsGiven;
  s = std::move(request);
  startRun(e);
  defaultOutputName(e, s.outputFile, s.inputFile);
  return runSettings(e);
}

}  // namespace quadrel
