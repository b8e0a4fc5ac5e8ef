#include "core/diag/message_channel.h"

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
    log.append(u"\r\n");
    log.append(text);
  }
  return show ? TextView(log) : TextView();
}

}  // namespace quadrel
