// The differentiation module's trace log, its error routine and its number
// text.
#pragma once

#include <cstdint>

#include "core/engine.h"
#include "core/text/u16.h"

namespace quadrel {

// Sets the trace mode and file name; gives the mode.
uint8_t setDiffTrace(Engine& e, uint8_t mode, TextView file);

inline bool diffTracing(const Engine& e) { return e.diff.trace.mode != 0; }

// One trace line of procedure name with text. A text beginning "IN_" enters
// the procedure (path and indent grow), one beginning "OUT" leaves it after
// the line is written. Mode 0 does nothing; mode 1 appends the line to the
// trace file, mode 2 shows it in a box, other modes only count.
void diffTrace(Engine& e, TextView procedure, TextView text);

// The module's error routine: raises the error flag and traces
// "ERR, (" + message + ")".
void diffError(Engine& e, TextView message);

// Number text of a value: fixed notation with 10 decimals, trailing zeros
// removed, then a final "." removed unless keepPoint; "-0" and the empty text
// read "0". A non-zero value that would read 0 keeps up to 20 decimals.
Text diffNumberText(double value, bool keepPoint = false);

// The value of a number node's text (0 when it reads as no number).
double diffNumberValue(TextView con);

}  // namespace quadrel
