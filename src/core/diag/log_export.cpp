#include "core/diag/log_export.h"

#include <algorithm>

#include "core/engine.h"
#include "core/ground/legacy_names.h"
#include "platform/platform.h"

namespace quadrel {

int32_t exportLog(Engine& e, TextView log, TextView heading, TextView caption, char16_t* buffer, int32_t count,
                  bool show) {
  const size_t bytes = log.size() * 2;
  const int32_t size = bytes > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(bytes);
  if (count == 0)
    return size;
  if (buffer && count > 0) {
    const size_t n = std::min(size_t(count), log.size());
    std::copy_n(log.data(), n, buffer);
    buffer[n] = 0;
  }
  if (show) {
    Text text(heading);
    text.append(u"\r\n(Yes => copy to Clipboard)\r\n");
    if (log.empty())
      text.append(u"\r\nNone");
    else
      text.append(log);
    if (e.platform.messageBox(caption, text, BoxButtons::YesNo, BoxIcon::Exclamation) == kAnswerYes)
      e.platform.setClipboardText(text);
  }
  return size;
}

int32_t exportDebugLog(Engine& e, char16_t* buffer, int32_t count, bool show) {
  return exportLog(e, e.messages.log, u"DEBUG LOG:", kLibraryName, buffer, count, show);
}

int32_t exportErrorLog(Engine& e, char16_t* buffer, int32_t count, bool show) {
  return exportLog(e, e.errors.log, u"ERROR MESSAGES:", kLibraryName, buffer, count, show);
}

}  // namespace quadrel
