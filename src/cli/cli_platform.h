// The platform of the quadrel program: the headless platform whose window
// lines go to standard output, whose boxes go to standard error (answered
// with OK, or No for a question), and whose progress shows as a bar on a
// terminal's standard error once a run takes a while.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/headless/headless_platform.h"

namespace quadrel {

class CliPlatform : public HeadlessPlatform {
 public:
  CliPlatform(std::FILE* out, std::FILE* err);

  int messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) override;
  bool inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) override;
  void messagesWindowAdd(TextView line) override;
  void progressShow(TextView text) override;
  void progressClose() override;

  // Progress lines are drawn only when this is set (standard error is a terminal).
  bool showProgress = false;
  // How long a run goes before its progress is drawn.
  uint64_t progressDelayMs = 500;

 private:
  std::FILE* out_;
  std::FILE* err_;
  uint64_t progressStart_ = 0;
  bool progressStarted_ = false;
  bool progressDrawn_ = false;
};

// The window line without the "n: " number the messages window puts in front.
TextView withoutLineNumber(TextView line);

// Text for a terminal: UTF-8 with "\n" line ends.
std::string terminalText(TextView text);

}  // namespace quadrel
