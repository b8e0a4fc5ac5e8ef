// Number <-> text rules: fixed-point conversion, trimming, leading-number reads.
#pragma once

#include <cstdint>

#include "core/limits.h"
#include "core/text/u16.h"

namespace quadrel {

constexpr int kFormulaDecimals = 10;

// Fixed-point text with exactly `decimals` digits after the point (none and no
// point for 0). Infinities read "+Infinity"/"-Infinity", every NaN "NaN".
Text fixedText(double value, int decimals = kFormulaDecimals);
void appendFixed(Text& out, double value, int decimals = kFormulaDecimals);

// Shortest text that reads back to exactly the same double.
Text roundTripText(double value);

// Trimming of number text: drops leading junk, trailing zeros after a point,
// a final point, and gives "0" for nothing.
Text trimNumberText(TextView text);

// The leading number of a text, as the C library reads it: optional blanks and
// sign, digits, point, digits, exponent. A text without one reads as 0.
double leadingNumber(TextView text);

// Reads the whole text as one number in the C library's syntax (blanks around
// allowed). False when anything else is in the text.
bool parseCompleteNumber(TextView text, double& out);

// Reads an integer: optional blanks and sign, then decimal digits; a "$" prefix
// reads base 16, a "%" prefix base 2. Reading stops at the first other character.
int64_t leadingInteger(TextView text);

}  // namespace quadrel
