// The view of the debug and error logs: shown at once when short; when long,
// the user picks between viewing, copying and saving.
#include "core/engine.h"
#include "core/script/reports.h"
#include "core/script/script_file.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr char16_t kCaption[] = u"Quadrel";
constexpr size_t kLongLog = 100000;

void tell(Engine& e, TextView text) { e.platform.messageBox(kCaption, text, BoxButtons::Ok, BoxIcon::Information); }

// The user's choice for a long log: "1" view, "2" clipboard, "3" file.
Text askWhatToDo(Engine& e, size_t size) {
  Text question = u"Text is ";
  question.append(intText(int64_t(size)));
  question.append(
      u" characters long and may take time to be loaded.\r\n\r\n"
      u"You can:\t1) view it\r\n"
      u"        \t2) copy to clipboard\r\n"
      u"        \t3) save to file\r\n"
      u"        \t0) exit doing nothing\r\n");
  e.platform.messageBox(kCaption, question, BoxButtons::Ok, BoxIcon::Question);
  Text answer;
  if (!e.platform.inputBox(kCaption, u"1=View, 2=To Clipboard, 3=Save To File, 0=Exit", u"0", answer))
    return Text();
  return Text(trimWhite(answer));
}

}  // namespace

void viewLog(Engine& e, LogSource source) {
  const Text log = source == LogSource::Debug ? e.messages.log : e.errors.log;
  const Text answer = log.size() > kLongLog ? askWhatToDo(e, log.size()) : Text(u"1");
  if (answer == u"1") {
    showReport(e, log);
  } else if (answer == u"2") {
    e.platform.setClipboardText(log);
    tell(e, u"Text copied to clipboard");
  } else if (answer == u"3") {
    if (saveTextAs(e, log))
      tell(e, u"Text saved to file");
  } else {
    tell(e, u"Nothing done");
  }
}

}  // namespace quadrel
