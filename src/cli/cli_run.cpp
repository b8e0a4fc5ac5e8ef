#include "cli/cli_run.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_platform.h"
#include "core/engine.h"
#include "core/script/command_line.h"
#include "core/script/line_kind.h"
#include "core/script/script_state.h"
#include "core/text/file_path.h"
#include "core/text/text_files.h"

namespace quadrel {

namespace {

Text absoluteName(const std::string& name, const std::string& folder) {
  if (name.starts_with("/"))
    return fromUtf8(name);
  return fromUtf8(folder + "/" + name);
}

// Read with C stdio: the C++ streams would cost every start of the program
// their initialisation.
// The script on standard input; false when it is larger than a text file
// may be (a stream without end would otherwise fill the memory).
bool readStandardInput(std::string& text) {
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
    text.append(buffer, n);
    if (text.size() > kMaxTextFileBytes)
      return false;
  }
  return true;
}

void reportTooLarge(std::FILE* err, const std::string& name) {
  std::fprintf(err, "quadrel: %s is larger than the limit of a text file (%llu MiB)\n", name.c_str(),
               static_cast<unsigned long long>(kMaxTextFileBytes >> 20));
}

// Script lines as the executor reads them: each ends with CR LF.
Text scriptLines(TextView text) {
  Text t(text);
  replaceAll(t, u"\r\n", u"\n");
  replaceAll(t, u"\n", u"\r\n");
  return t;
}

// Sets the run settings straight from the options: file names stay whole,
// "/" and all.
bool applyOptions(Engine& e, const CliOptions& o, const std::string& folder, std::FILE* err) {
  RunSettings& s = e.script.settings;
  if (o.scriptFile == "-") {
    std::string bytes;
    if (!readStandardInput(bytes)) {
      reportTooLarge(err, "the standard input");
      return false;
    }
    s.selectionText = scriptLines(fromUtf8(bytes));
    s.runSelection = true;
    s.noHeader = true;
  } else if (!o.scriptFile.empty()) {
    std::string bytes;
    switch (readFileBytes(absoluteName(o.scriptFile, folder), bytes)) {
      case FileRead::OpenFailed: std::fprintf(err, "quadrel: cannot read %s\n", o.scriptFile.c_str()); return false;
      case FileRead::TooLarge: reportTooLarge(err, o.scriptFile); return false;
      case FileRead::Ok: break;
    }
    s.inputFile = absoluteName(o.scriptFile, folder);
    s.readFromFile = true;
  } else {
    // Typed lines: a line that is no command is a formula.
    Text text;
    for (const std::string& expression : o.expressions) {
      const Text lines = scriptLines(fromUtf8(expression));
      for (size_t at = 0; at <= lines.size();) {
        size_t end = lines.find(u"\r\n", at);
        if (end == Text::npos)
          end = lines.size();
        if (end > at || end < lines.size()) {
          text.append(asScriptLine(TextView(lines).substr(at, end - at)));
          text.append(u"\r\n");
        }
        at = end + 2;
      }
    }
    s.selectionText = text;
    s.runSelection = true;
    s.noHeader = true;
  }
  if (!o.outputFile.empty()) {
    s.outputFile = absoluteName(o.outputFile, folder);
    s.writeToFile = true;
    s.append = o.append;
    s.noHeader = s.noHeader || o.append;
  }
  if (o.lineList) {
    s.lineList = *o.lineList;
    s.filterLines = true;
    s.append = true;
    s.noHeader = true;
  }
  if (o.decimals)
    e.script.decimals = *o.decimals;
  s.noHeader = s.noHeader || o.noHeader;
  s.noLabels = o.noLabels;
  s.resultsOnly = o.resultsOnly;
  // A file run writes Result.otm beside the script unless told otherwise.
  if (s.readFromFile && s.outputFile.empty())
    s.outputFile = absoluteName(std::filesystem::path(o.scriptFile).replace_filename("Result.otm").string(), folder);
  // Appending needs the file to be there.
  std::error_code ec;
  const std::optional<std::filesystem::path> output = filePathOf(s.outputFile);
  if (s.append && !s.outputFile.empty() && !(output && std::filesystem::exists(*output, ec)) &&
      !writeUtf8File(s.outputFile, u"", WriteMode::Replace)) {
    std::fprintf(err, "quadrel: cannot write %s\n", toUtf8(s.outputFile).c_str());
    return false;
  }
  if (!o.plotsFolder.empty()) {
    s.savePlots = true;
    s.savePlotPath = absoluteName(o.plotsFolder, folder) + u"/";
  }
  if (o.log) {
    s.logToFile = true;
    s.logFileName = o.logFile.empty() ? Text() : absoluteName(o.logFile, folder);
  }
  return true;
}

void writeOut(std::FILE* out, TextView text) {
  const std::string s = terminalText(text);
  std::fwrite(s.data(), 1, s.size(), out);
}

}  // namespace

int runCli(Engine& e, const CliOptions& o, const std::string& folder, std::FILE* out, std::FILE* err) {
  switch (o.action) {
    case CliOptions::Action::Help: std::fputs(cliUsage(), out); return kExitOk;
    case CliOptions::Action::Version:
      std::fprintf(out, "quadrel %d.%d.%d.%d\n", QUADREL_VERSION_MAJOR, QUADREL_VERSION_MINOR, QUADREL_VERSION_PATCH,
                   QUADREL_VERSION_TWEAK);
      return kExitOk;
    case CliOptions::Action::Usage:
      if (!o.error.empty())
        std::fprintf(err, "quadrel: %s\n", o.error.c_str());
      std::fputs(cliUsage(), err);
      return kExitWrongArguments;
    default: break;
  }

  e.script.settings.dataFolder = fromUtf8(folder.ends_with("/") ? folder : folder + "/");
  // The program's plots live in the data folder, not beside the program.
  e.plot.pluginFolder = e.script.settings.dataFolder;
  int32_t status;
  if (o.action == CliOptions::Action::EntryLine) {
    status = otmEvalMain(e, o.entryLine);
  } else {
    if (!applyOptions(e, o, folder, err))
      return kExitWrongArguments;
    status = otmEvalMain(e, u"");
    // The entry saves only file runs; a script text given here goes to the
    // named file as well.
    const RunSettings& s = e.script.settings;
    if (status == kStatusOk && !s.readFromFile && s.writeToFile &&
        !writeUtf8File(s.outputFile, e.script.resultText, s.append ? WriteMode::Append : WriteMode::Replace)) {
      std::fprintf(err, "quadrel: cannot write %s\n", o.outputFile.c_str());
      status = kStatusWriteError;
    }
  }
  writeOut(out, e.script.resultText);
  std::fflush(out);
  if (status != kStatusOk)
    return kExitRunFailed;
  return e.script.lastRunErrors > 0 ? kExitCommandsFailed : kExitOk;
}

}  // namespace quadrel
