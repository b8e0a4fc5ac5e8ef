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
#include "platform/headless/linux_names.h"

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

// Whether a script file can be opened for reading. Opening it is all: a
// pipe (/dev/stdin, <(...)) keeps its text for the run that reads it.
bool canRead(const std::string& name) {
  std::error_code ec;
  if (std::filesystem::is_directory(name, ec))
    return false;
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f)
    return false;
  std::fclose(f);
  return true;
}

// Typed lines as the executor runs them: a line that is no command is a
// formula; lines of echo blocks ("\\" to "//", "!\" to "!/") stay as they are.
void appendTypedLines(Text& script, TextView text, bool& inEcho, bool& inBang) {
  const Text lines = scriptLines(text);
  for (size_t at = 0; at <= lines.size();) {
    size_t end = lines.find(u"\r\n", at);
    if (end == Text::npos)
      end = lines.size();
    if (end > at || end < lines.size()) {
      const TextView line = TextView(lines).substr(at, end - at);
      const TextView trimmed = trimBlanks(line);
      if (inEcho || inBang || trimmed.find(u"\\\\") != TextView::npos || trimmed.starts_with(u"!\\")) {
        if (inEcho || trimmed.find(u"\\\\") != TextView::npos)
          inEcho = trimmed.find(u"//") == TextView::npos;
        else
          inBang = !trimmed.starts_with(u"!/");
        script.append(line);
      } else {
        script.append(asScriptLine(line));
      }
      script.append(u"\r\n");
    }
    at = end + 2;
  }
}

// Fills the run's request straight from the options: file names stay whole,
// "/" and all, and no text is read as options.
bool applyOptions(Engine& e, const CliOptions& o, const std::string& folder, std::FILE* err, RunSettings& s) {
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
    if (!canRead(toUtf8(absoluteName(o.scriptFile, folder)))) {
      std::fprintf(err, "quadrel: cannot read %s\n", o.scriptFile.c_str());
      return false;
    }
    s.inputFile = absoluteName(o.scriptFile, folder);
    s.readFromFile = true;
  } else {
    Text text;
    bool inEcho = false, inBang = false;
    if (o.standardInputImplied) {
      std::string bytes;
      if (!readStandardInput(bytes)) {
        reportTooLarge(err, "the standard input");
        return false;
      }
      appendTypedLines(text, fromUtf8(bytes), inEcho, inBang);
    }
    for (const std::string& expression : o.expressions) appendTypedLines(text, fromUtf8(expression), inEcho, inBang);
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
  // Values alone: without labels and without the lines of the commands.
  s.collectValues = printsValues(o);
  if (s.collectValues) {
    s.noLabels = true;
    s.resultsOnly = true;
  }
  // A file run writes a result file only when one is named (-o, -a).
  s.saveFileRuns = s.writeToFile;
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

// The values of the last run, one line each (a matrix's rows on lines of
// their own); failures go to err. Gives the text written to out.
Text writeValues(Engine& e, std::FILE* out, std::FILE* err) {
  Text shown;
  for (const CommandValue& v : e.script.values) {
    if (v.failed) {
      writeOut(err, v.text + u"\n");
      continue;
    }
    if (v.text.empty())
      continue;
    // A matrix's rows end in the separator of their elements.
    Text value = v.text;
    replaceAll(value, u"\t\r\n", u"\r\n");
    shown.append(value);
    shown.append(u"\r\n");
    // ans: the last number shown.
    if (v.number)
      e.variables.defineNumber(u"ans", *v.number);
  }
  writeOut(out, shown);
  return shown;
}

}  // namespace

int runCli(Engine& e, const CliOptions& o, const std::string& folder, std::FILE* out, std::FILE* err) {
  switch (o.action) {
    case CliOptions::Action::Help: std::fputs(cliUsage(), out); return kExitOk;
    case CliOptions::Action::Version:
      std::fprintf(out, "quadrel %d.%d.%d.%d (built %s)\n", QUADREL_VERSION_MAJOR, QUADREL_VERSION_MINOR,
                   QUADREL_VERSION_PATCH, QUADREL_VERSION_TWEAK, toUtf8(buildDate()).c_str());
      return kExitOk;
    case CliOptions::Action::Usage:
      // One line: what was wrong and where the options are listed.
      if (o.error.empty())
        std::fputs("quadrel: wrong arguments (quadrel --help lists the options)\n", err);
      else
        std::fprintf(err, "quadrel: %s (quadrel --help lists the options)\n", o.error.c_str());
      return kExitWrongArguments;
    default: break;
  }

  e.script.settings.dataFolder = fromUtf8(folder.ends_with("/") ? folder : folder + "/");
  // The program's plots live in the data folder, not beside the program.
  e.plot.outputFolder = e.script.settings.dataFolder;
  int32_t status;
  if (o.action == CliOptions::Action::EntryLine) {
    status = otmEvalMain(e, o.entryLine);
  } else {
    RunSettings request;
    request.progress = e.script.settings.progress;
    if (!applyOptions(e, o, folder, err, request))
      return kExitWrongArguments;
    status = runRequest(e, std::move(request));
    const RunSettings& s = e.script.settings;
    // Values alone for -e and typed lines; the result block otherwise.
    const Text shown = s.collectValues ? writeValues(e, out, err) : e.script.resultText;
    if (!s.collectValues)
      writeOut(out, shown);
    // The entry saves only file runs; a script text given here goes to the
    // named file as well, as it was shown.
    if (status == kStatusOk && !s.readFromFile && s.writeToFile &&
        !writeUtf8File(s.outputFile, shown, s.append ? WriteMode::Append : WriteMode::Replace)) {
      std::fprintf(err, "quadrel: cannot write %s\n", o.outputFile.c_str());
      status = kStatusWriteError;
    }
  }
  if (o.action == CliOptions::Action::EntryLine)
    writeOut(out, e.script.resultText);
  std::fflush(out);
  if (o.action == CliOptions::Action::EntryLine && status == kStatusInvalidParameter)
    std::fputs("quadrel: nothing to run: give /i FILE or /sel:'...' (quadrel /h lists the options)\n", err);
  if (status != kStatusOk)
    return kExitRunFailed;
  return e.script.lastRunErrors > 0 ? kExitCommandsFailed : kExitOk;
}

}  // namespace quadrel
