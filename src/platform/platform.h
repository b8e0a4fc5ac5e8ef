// The one seam between the portable core and the outside world. The DLL
// implements it with real Win32 calls, the quadrel program with the terminal;
// the tests (and the library on Linux) use the headless implementation, which
// records every box and answers from a script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/ground/legacy_names.h"
#include "core/text/u16.h"
#include "platform/plot_window.h"

namespace quadrel {

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxIcon { None, Information, Exclamation, Question, Error };

// Answers as the Windows message box gives them.
enum BoxAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// How the library names itself to the user (information block, batch
// header, about text, box captions). The defaults are those of the Windows
// plug-in; the program and the library on Linux give their own.
struct ProductNames {
  TextView nameLine = u"Plugin name: Quadrel.dll (formula and script calculator for Notepad++)";
  TextView build = u"66.";  // after "Built: "
  TextView library = kLibraryName;
  TextView webPage = u"Web page: https://quadrel.example.org";  // empty: no such line
  // The result of a plot that is neither shown in a window nor saved as a
  // picture; empty where plots open windows.
  TextView unsavedPlot;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box; gives the button pressed.
  virtual int messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) = 0;
  // A one-line input box; false when the user cancelled.
  virtual bool inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) = 0;
  // An open-file dialog showing folder first (the system's choice when
  // empty); the empty text when cancelled.
  virtual Text openFileDialog(TextView title, TextView filter, TextView folder) = 0;

  virtual void setClipboardText(TextView text) = 0;
  virtual Text clipboardText() = 0;

  // The system debug output (one call, one line for the viewer).
  virtual void debugOutput(TextView text) = 0;

  virtual LocalTime localTime() = 0;
  virtual uint64_t tickMs() = 0;

  // Full path of the library file (the DLL, or the program on Linux).
  virtual Text libraryPath() = 0;
  // The user's temporary folder, ending with a separator.
  virtual Text tempFolder() = 0;
  // Where the library writes its files when its own folder cannot be
  // written, ending with a separator; empty when there is no such place.
  virtual Text userDataFolder() { return Text(); }

  // The preferred separator of file paths ("\\" on Windows, "/" elsewhere).
  virtual char16_t pathSeparator() const = 0;
  // Version resource of a file (the library's own file for an empty path):
  // four numbers each of the file and product versions; false when none.
  virtual bool fileVersion(TextView path, uint16_t fileVersion[4], uint16_t productVersion[4]) = 0;
  // Local last-write time of a file; false when it cannot be read.
  virtual bool fileModifiedTime(TextView path, LocalTime& time) = 0;

  // Conversion between UTF-16 and the ANSI code page.
  virtual Text ansiToText(std::string_view bytes) = 0;
  virtual std::string textToAnsi(TextView text) = 0;

  // Lets waiting window messages through (message pumps); gives how many.
  virtual int pumpMessages() { return 0; }
  virtual void sleepMs(int) {}

  // The messages window: a numbered list of lines. resetWindow forgets it.
  virtual void messagesWindowAdd(TextView line) = 0;
  virtual void messagesWindowReset() = 0;
  // The progress window: show a text (opening it when needed) or close it.
  virtual void progressShow(TextView text) = 0;
  virtual void progressClose() = 0;

  // A new plot window titled title for plot number slot, placed to the right
  // of previous when there is one; null when no window can be opened.
  virtual std::unique_ptr<PlotWindow> openPlotWindow(int /*slot*/, TextView /*title*/, PlotWindow* /*previous*/) {
    return nullptr;
  }

  virtual ProductNames productNames() const { return ProductNames(); }

  // Runs work on a thread whose stack reserves stackBytes and waits for it
  // (deep recursion off a caller's small stack, such as the editor's thread);
  // what work throws is thrown here. False, with work not run, when no such
  // thread can be started. A platform without threads runs it in place.
  virtual bool runOnLargeStack(size_t /*stackBytes*/, const std::function<void()>& work) {
    work();
    return true;
  }
};

}  // namespace quadrel
