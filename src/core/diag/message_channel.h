// The library's channel for diagnostic messages: dropped, shown in a box or
// kept in a message log, depending on the message mode set by callers.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

class Platform;

// Message mode bits.
constexpr int32_t kMsgAccept = 1;  // accepted, neither shown nor kept
constexpr int32_t kMsgBox = 2;     // shown in message boxes
constexpr int32_t kMsgLog = 4;     // appended to the message log

// Show level bits read by the library's procedures.
constexpr int32_t kShowParser = 1;  // the parser composes its error messages
constexpr int32_t kShowMatrix = 2;  // the matrix store composes its messages
constexpr int32_t kShowTrace = 4;   // the evaluator writes its debug trace

struct MessageChannel {
  int32_t mode = kMsgAccept;
  int32_t showLevel = 0;
  Text log;

  // Sends one message; gives the whole message log when show is set, else
  // the empty text.
  TextView send(Platform& platform, TextView text, TextView title, bool show);
  // Sets the message mode; gives the one before.
  int32_t setMode(int32_t newMode) {
    const int32_t previous = mode;
    mode = newMode;
    return previous;
  }
};

}  // namespace quadrel
