#include "cli/cli_line_editor.h"

#include <editline/readline.h>

#include <cstdio>
#include <cstdlib>

#include "cli/cli_interrupt.h"

namespace quadrel {

EditedLines::EditedLines(std::string prompt) : prompt_(std::move(prompt)) {
  using_history();
  stifle_history(1000);
  if (const char* home = std::getenv("HOME"); home && *home) {
    historyFile_ = std::string(home) + "/.quadrel_history";
    read_history(historyFile_.c_str());
  }
}

EditedLines::~EditedLines() {
  if (!historyFile_.empty())
    write_history(historyFile_.c_str());
}

bool EditedLines::readLine(std::string& line) {
  char* text = readline(prompt_.c_str());
  if (!text && interruptFlag()) {
    // Ctrl+C drops the line being typed; the session goes on.
    std::fputs("^C\n", stdout);
    std::fflush(stdout);
    interruptFlag() = 0;
    line.clear();
    return true;
  }
  if (!text)
    return false;
  line = text;
  if (line.find_first_not_of(" \t") != std::string::npos)
    add_history(text);
  std::free(text);
  return true;
}

}  // namespace quadrel
