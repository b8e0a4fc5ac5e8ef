#include "core/diag/message_channel.h"

#include "core/limits.h"
#include "core/text/bounded_log.h"
#include "platform/platform.h"

namespace quadrel {

TextView MessageChannel::send(Platform& platform, TextView text, TextView title, bool show) {
  if (mode == 0)
    return TextView();
  if (mode & kMsgAccept) {
    // accepted and dropped
  } else if ((mode & kMsgBox) && show) {
    platform.messageBox(title, text, BoxButtons::Ok, BoxIcon::None);
  } else if (mode & kMsgLog) {
    appendBounded(log, u"\r\n" + Text(text), kMaxMessageLogChars);
  }
  return show ? TextView(log) : TextView();
}

}  // namespace quadrel
