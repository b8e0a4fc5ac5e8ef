// The platform of the quadrel program: window lines go to standard output,
// boxes to standard error (answered with OK, or No for a question), input
// boxes take their default, and progress shows as a bar on a terminal's
// standard error once a run takes a while. Nothing is kept but the
// clipboard's text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

namespace quadrel {

class CliPlatform final : public Platform {
 public:
  CliPlatform(std::FILE* out, std::FILE* err);

  int messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) override;
  bool inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) override;
  // No dialog can be shown: as if the user cancelled.
  Text openFileDialog(TextView, TextView, TextView) override { return Text(); }
  // A clipboard of the program's own, for its lifetime.
  void setClipboardText(TextView text) override { clipboard_ = Text(text); }
  Text clipboardText() override { return clipboard_; }
  // The library's debug lines are not shown by the program.
  void debugOutput(TextView) override {}
  LocalTime localTime() override;
  uint64_t tickMs() override;
  Text libraryPath() override { return libraryFile_; }
  Text userDataFolder() override;
  Text tempFolder() override;
  char16_t pathSeparator() const override { return u'/'; }
  bool fileVersion(TextView path, uint16_t fileVersion[4], uint16_t productVersion[4]) override;
  bool fileModifiedTime(TextView path, LocalTime& time) override;
  Text ansiToText(std::string_view bytes) override;
  std::string textToAnsi(TextView text) override;
  void messagesWindowAdd(TextView line) override;
  void messagesWindowReset() override {}
  void progressShow(TextView text) override;
  void progressClose() override;
  // Plot images are drawn in memory (and saved as pictures when a run asks).
  std::unique_ptr<PlotWindow> openPlotWindow(int slot, TextView title, PlotWindow* previous) override;
  ProductNames productNames() const override;

  // Progress lines are drawn only when this is set (standard error is a terminal).
  bool showProgress = false;
  // How long a run goes before its progress is drawn.
  uint64_t progressDelayMs = 500;

 private:
  std::FILE* out_;
  std::FILE* err_;
  Text libraryFile_;
  Text clipboard_;
  uint64_t progressStart_ = 0;
  bool progressStarted_ = false;
  bool progressDrawn_ = false;
};

// The window line without the "n: " number the messages window puts in front.
TextView withoutLineNumber(TextView line);

// Text for a terminal: UTF-8 with "\n" line ends.
std::string terminalText(TextView text);

}  // namespace quadrel
