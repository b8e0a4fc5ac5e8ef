// The platform of the DLL: real Win32 boxes, dialogs, clipboard and windows.
#pragma once

#include <functional>

#include "platform/platform.h"

namespace quadrel {

// The editor that loaded the library, when one did: its main window owns the
// library's own windows (plots, messages), and it is told when one opens or
// closes so that its message loop hands that window its keys (Alt+F4 then
// closes the library's window, never the editor).
struct HostWindows {
  void* owner = nullptr;  // HWND of the editor's main window
  std::function<void(void* window, bool opened)> announce;

  void opened(void* window) const {
    if (announce && window)
      announce(window, true);
  }
  void closed(void* window) const {
    if (announce && window)
      announce(window, false);
  }
};

class Win32Platform : public Platform {
 public:
  bool runOnLargeStack(size_t stackBytes, const std::function<void()>& work) override;
  int messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) override;
  bool inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) override;
  Text openFileDialog(TextView title, TextView filter, TextView folder) override;
  void setClipboardText(TextView text) override;
  Text clipboardText() override;
  void debugOutput(TextView text) override;
  LocalTime localTime() override;
  uint64_t tickMs() override;
  Text libraryPath() override;
  Text tempFolder() override;
  char16_t pathSeparator() const override { return u'\\'; }
  bool fileVersion(TextView path, uint16_t fileVersion[4], uint16_t productVersion[4]) override;
  bool fileModifiedTime(TextView path, LocalTime& time) override;
  Text ansiToText(std::string_view bytes) override;
  std::string textToAnsi(TextView text) override;
  int pumpMessages() override;
  void sleepMs(int ms) override;
  void messagesWindowAdd(TextView line) override;
  void messagesWindowReset() override;
  void progressShow(TextView text) override;
  void progressClose() override;
  std::unique_ptr<PlotWindow> openPlotWindow(int slot, TextView title, PlotWindow* previous) override;

  HostWindows host;

 private:
  void* messagesWindow_ = nullptr;  // HWND of the messages window
  void* messagesList_ = nullptr;    // its list box
  void* progressWindow_ = nullptr;
  void* progressText_ = nullptr;
};

// The module handle of the DLL itself.
void* libraryModule();

}  // namespace quadrel
