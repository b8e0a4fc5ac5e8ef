#include "cli/cli_interactive.h"

#include <algorithm>
#include <cctype>

#include "cli/cli_interrupt.h"
#include "cli/cli_run.h"
#include "core/engine.h"

namespace quadrel {

namespace {

std::string trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos)
    return std::string();
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool isWord(const std::string& line, const char* word) {
  std::string lower = line;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return lower == word;
}

bool isQuit(const std::string& line) { return isWord(line, "quit"); }

CliOptions helpOptions() {
  CliOptions o;
  o.action = CliOptions::Action::EntryLine;
  o.entryLine = u"/cm";
  return o;
}

// The worse of two exit codes of line runs.
int worse(int a, int b) {
  auto rank = [](int code) { return code == kExitRunFailed ? 2 : (code == kExitCommandsFailed ? 1 : 0); };
  return rank(b) > rank(a) ? b : a;
}

}  // namespace

int runInteractive(Engine& e, const CliOptions& options, const std::string& folder, LineSource& lines, std::FILE* out,
                   std::FILE* err) {
  if (!options.outputFile.empty() || options.lineList) {
    std::fputs("quadrel: -o, -a and --lines need a script file or -e\n", err);
    return kExitWrongArguments;
  }
  CliOptions lineOptions = options;
  lineOptions.scriptFile.clear();
  lineOptions.standardInputImplied = false;
  // The typed line is on the screen already: it is shown again only when it failed.
  lineOptions.resultsOnly = true;

  volatile std::sig_atomic_t& interrupt = interruptFlag();
  e.script.interruptRequest = &interrupt;
  int code = kExitOk;
  for (std::string line; (interrupt = 0, lines.readLine(line));) {
    const std::string text = trimmed(line);
    if (text.empty())
      continue;
    if (isQuit(text))
      break;
    if (isWord(text, "help")) {
      // The command list, one example each (the file /cm shows).
      runCli(e, helpOptions(), folder, out, err);
      continue;
    }
    lineOptions.expressions = {text};
    code = worse(code, runCli(e, lineOptions, folder, out, err));
    if (interrupt) {
      std::fputs("quadrel: interrupted\n", err);
      std::fflush(err);
    }
    // --decimals sets the start; a command may change it afterwards.
    lineOptions.decimals.reset();
  }
  return code;
}

}  // namespace quadrel
