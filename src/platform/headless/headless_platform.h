// The test double of the platform, also the library's platform on Linux:
// records every box, window line and debug line, answers boxes from a queue
// of scripted answers, keeps a private clipboard.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "platform/headless/posix_services.h"
#include "platform/platform.h"

namespace quadrel {

struct RecordedBox {
  Text caption;
  Text text;
  BoxButtons buttons;
  BoxIcon icon;
  int answer;
};

struct RecordedInput {
  Text caption;
  Text prompt;
  Text defaultText;
};

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform();
  bool runOnLargeStack(size_t stackBytes, const std::function<void()>& work) override;

  int messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) override;
  bool inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) override;
  Text openFileDialog(TextView title, TextView filter, TextView folder) override;
  void setClipboardText(TextView text) override { clipboard = Text(text); }
  Text clipboardText() override { return clipboard; }
  void debugOutput(TextView text) override { record(debugLines, Text(text)); }
  LocalTime localTime() override;
  uint64_t tickMs() override { return posix::steadyTickMs(); }
  Text libraryPath() override { return libraryFile; }
  Text userDataFolder() override;
  Text tempFolder() override;
  char16_t pathSeparator() const override { return u'/'; }
  bool fileVersion(TextView path, uint16_t fileVersion[4], uint16_t productVersion[4]) override;
  bool fileModifiedTime(TextView path, LocalTime& time) override { return posix::fileModifiedTime(path, time); }
  Text ansiToText(std::string_view bytes) override { return posix::cp1252ToText(bytes); }
  std::string textToAnsi(TextView text) override { return posix::textToCp1252(text); }
  void messagesWindowAdd(TextView line) override { record(windowLines, Text(line)); }
  void messagesWindowReset() override { ++windowResets; }
  void progressShow(TextView text) override { record(progressLines, Text(text)); }
  void progressClose() override { ++progressCloses; }
  // An image of the window's size drawn in memory (cairo).
  std::unique_ptr<PlotWindow> openPlotWindow(int slot, TextView title, PlotWindow* previous) override;

  // Scripted answers, used in order; when none is left, boxes answer
  // defaultAnswer (or OK for an OK box), input boxes answer their default.
  std::deque<int> boxAnswers;
  int defaultAnswer = kAnswerNo;
  std::deque<Text> inputAnswers;
  std::deque<Text> fileDialogAnswers;

  // Tests read what was shown; the library itself (a process that may run
  // for days) keeps nothing, or its memory would grow with every message.
  bool keepRecords = true;
  std::vector<RecordedBox> boxes;
  std::vector<RecordedInput> inputs;
  std::vector<Text> debugLines;
  std::vector<Text> windowLines;
  std::vector<Text> progressLines;
  int windowResets = 0;
  int progressCloses = 0;
  Text clipboard;
  Text libraryFile;
  // A fixed clock for tests; when unset, the real local time.
  bool fixedTime = false;
  LocalTime time;
  Text tempDir;
  // The folder userDataFolder gives when set (else the XDG rule).
  Text dataDir;

 private:
  template <class T>
  void record(std::vector<T>& list, T item) {
    if (keepRecords)
      list.push_back(std::move(item));
  }
};

}  // namespace quadrel
