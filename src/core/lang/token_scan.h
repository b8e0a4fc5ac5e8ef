// Where the tokens of a formula begin and end, before any name is looked up.
// The evaluator's lexer, the user-function expansion, the sampler and the
// differentiator all cut formulas with it, so they agree on every name and
// number.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

// What a piece of formula text is, before any name is looked up.
enum class Lexeme : uint8_t {
  White,       // a run of blanks, tabs, CR and LF
  Matrix,      // "[" up to and with "]" (or to the end), and a suffix I, T or D
  Const,       // "#" + name characters
  Hex,         // "&" + name characters
  Bin,         // "!" + digits
  Number,      // digits and decimal separators, and an exponent
  Identifier,  // a letter or "_", then name characters
  Symbol,      // "<" or ">" with "=" or ">" after it, or any one other character
};

struct TokenSpan {
  size_t start = 0, end = 0;  // the characters of the token, a matrix suffix included
  Lexeme kind = Lexeme::White;
  char16_t matrixSuffix = 0;  // upper-case I, T or D, or 0
  bool malformed = false;     // a number literal with a second separator
};

// The token that starts at s[i] (i < s.size()).
TokenSpan scanToken(TextView s, size_t i);

}  // namespace quadrel
