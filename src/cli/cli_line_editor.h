// Lines typed on a terminal, read with libedit: line editing, and a history
// kept in ~/.quadrel_history between sessions.
#pragma once

#include <string>

#include "cli/cli_interactive.h"

namespace quadrel {

class EditedLines : public LineSource {
 public:
  explicit EditedLines(std::string prompt);
  ~EditedLines() override;
  EditedLines(const EditedLines&) = delete;
  EditedLines& operator=(const EditedLines&) = delete;

  bool readLine(std::string& line) override;

 private:
  std::string prompt_;
  std::string historyFile_;
};

}  // namespace quadrel
