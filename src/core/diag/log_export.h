// Hands a log (the message log, say) to a caller: its size in bytes, a copy
// into the caller's buffer, and a question box offering it for the clipboard.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Gives the size of log in bytes (two per character). With count 0 nothing
// else happens. Otherwise at most count characters and a zero go to buffer
// (count + 1 characters of room); with show, a Yes/No box captioned caption
// shows heading, "(Yes => copy to Clipboard)" and the log ("None" when
// empty), and Yes puts that text on the clipboard.
int32_t exportLog(Engine& e, TextView log, TextView heading, TextView caption, char16_t* buffer, int32_t count,
                  bool show);

// The message log of the library's message channel, as GetDebugLog gives it.
int32_t exportDebugLog(Engine& e, char16_t* buffer, int32_t count, bool show);
// The error log of the evaluator, as GetErrorMsgs gives it.
int32_t exportErrorLog(Engine& e, char16_t* buffer, int32_t count, bool show);

}  // namespace quadrel
