// The one reader of number literals in formulas and value texts: the
// evaluator's lexer, the compiled sampler, the variable store's value texts
// and the differentiation module all read numbers through it, so a literal
// means the same everywhere.
//
// Decimal literal: digits with at most one decimal separator ("." or ","),
// then an optional exponent "e" or "E", an optional sign and at least one
// digit ("1.5e3", "2E-3", "6,02e23"). A separator alone reads as 0, and "1."
// and ".5" are numbers. An "e" that is not followed by a digit (after an
// optional sign) is not part of the number: "2e" is 2 followed by a name.
//
// Hex literal: "&" and hex digits ("&FF", "&1E3" is 483). Binary literal: "!"
// and the digits 0 and 1. The token of each runs over every character a name
// or a number may hold, so "&H10", "&1G", "!2" and "!102" are whole tokens
// that are malformed, as are "1.2.3" and a literal too large for a double.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

// Where a literal that starts at s[i] ends, and whether it is well formed.
struct LiteralScan {
  size_t end = 0;
  bool wellFormed = false;
};

// The decimal literal at s[i] (a digit or a separator): the run of digits and
// separators, with the exponent when one follows. Malformed when the run
// holds two separators or more.
LiteralScan scanDecimal(TextView s, size_t i);

// The value of a literal; false (and 0) when it is malformed or its value
// does not fit in a double. Decimal values are correctly rounded; a value too
// small for a double reads as 0. Hex values wrap at 64 bits and are read as a
// signed 64-bit integer.
bool decimalValue(TextView literal, double& value);
bool hexValue(TextView literal, double& value);     // literal with its "&"
bool binaryValue(TextView literal, double& value);  // literal with its "!"

// Reads a value text the way the variable store does: optional blanks and
// sign, then the longest well-formed decimal literal at the front (the rest
// is ignored); 0 when the text starts with no number.
double leadingDecimal(TextView text);

}  // namespace quadrel
