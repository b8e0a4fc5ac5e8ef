#include "platform/headless/headless_platform.h"

#include <cstdlib>

#include "platform/headless/cairo_plot_window.h"
#include "platform/headless/posix_services.h"

namespace quadrel {

HeadlessPlatform::HeadlessPlatform() {
  // The library's own file, wherever it was loaded from; the variable
  // overrides it.
  const char* exe = std::getenv("QUADREL_LIBRARY_PATH");
  libraryFile = exe ? fromUtf8(exe) : posix::ownModuleFile();
  if (libraryFile.empty())
    libraryFile = u"/usr/lib/quadrel/libquadrel.so";
}

int HeadlessPlatform::messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) {
  int answer;
  if (!boxAnswers.empty()) {
    answer = boxAnswers.front();
    boxAnswers.pop_front();
  } else if (buttons == BoxButtons::Ok) {
    answer = kAnswerOk;
  } else {
    answer = defaultAnswer;
  }
  record(boxes, RecordedBox{Text(caption), Text(text), buttons, icon, answer});
  return answer;
}

bool HeadlessPlatform::inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) {
  record(inputs, RecordedInput{Text(caption), Text(prompt), Text(defaultText)});
  if (!inputAnswers.empty()) {
    answer = inputAnswers.front();
    inputAnswers.pop_front();
  } else {
    answer = Text(defaultText);
  }
  return true;
}

Text HeadlessPlatform::openFileDialog(TextView, TextView, TextView) {
  if (fileDialogAnswers.empty())
    return Text();
  Text t = fileDialogAnswers.front();
  fileDialogAnswers.pop_front();
  return t;
}

LocalTime HeadlessPlatform::localTime() { return fixedTime ? time : posix::localTimeNow(); }

Text HeadlessPlatform::tempFolder() { return tempDir.empty() ? posix::temporaryFolder() : tempDir; }
Text HeadlessPlatform::userDataFolder() { return dataDir.empty() ? posix::userDataFolder() : dataDir; }

bool HeadlessPlatform::fileVersion(TextView path, uint16_t fileVersion[4], uint16_t productVersion[4]) {
  // Only the library answers, for itself.
  if (!path.empty() && path != TextView(libraryFile))
    return false;
  posix::builtVersion(fileVersion, productVersion);
  return true;
}

std::unique_ptr<PlotWindow> HeadlessPlatform::openPlotWindow(int, TextView, PlotWindow*) {
  return std::make_unique<CairoPlotWindow>();
}

}  // namespace quadrel
