// Silences the message channel and the error messages for the length of a
// command's call (plots and numerical methods report through their result
// line instead), restoring both after it.
#pragma once

#include "core/engine.h"
#include "core/ground/error_report.h"

namespace quadrel {

class QuietMessages {
 public:
  explicit QuietMessages(Engine& e) : e_(e), mode_(e.messages.setMode(0)), messagesFlag_(setMessagesFlag(e, 0)) {}
  ~QuietMessages() {
    e_.messages.setMode(mode_);
    setMessagesFlag(e_, messagesFlag_);
  }
  QuietMessages(const QuietMessages&) = delete;
  QuietMessages& operator=(const QuietMessages&) = delete;

 private:
  Engine& e_;
  int32_t mode_;
  int32_t messagesFlag_;
};

}  // namespace quadrel
