// Logs that keep a bounded size: the newest characters stay, the oldest go,
// and one first line says how many characters were dropped so far.
#pragma once

#include <cstddef>

#include "core/text/u16.h"

namespace quadrel {

// The first line of a log that lost its oldest part.
inline constexpr TextView kDroppedMark = u"(log full: the oldest ";
inline constexpr TextView kDroppedTail = u" characters were dropped)\r\n";

// Appends piece to log; when the log then holds more than limit characters,
// the oldest whole lines go until the rest and the dropped-line fit in three
// quarters of limit. The count in the dropped-line adds up over calls.
void appendBounded(Text& log, TextView piece, size_t limit);

// text itself when it has at most limit characters, else its first limit
// characters followed by "...".
Text shortened(TextView text, size_t limit);

}  // namespace quadrel
