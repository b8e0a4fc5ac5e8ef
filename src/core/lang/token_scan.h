// Where the tokens of a formula begin and end, before any name is looked up.
// The evaluator's lexer, the user-function expansion, the sampler and the
// differentiator all cut formulas with it, so they agree on every name and
// number.
#pragma once

#include <array>
#include <cstdint>

#include "core/lang/name_chars.h"
#include "core/text/number_reader.h"
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

namespace token_scan_detail {

// What an ASCII character starts; one look-up instead of a chain of tests,
// since every formula is cut into tokens before it is read.
enum class Starts : uint8_t { Symbol, White, Number, Name, Matrix, Const, Hex, Bin, Angle };

constexpr std::array<Starts, 128> kAsciiStarts = [] {
  std::array<Starts, 128> t{};
  for (char16_t c = 0; c < 128; ++c) {
    if (isWhite(c))
      t[c] = Starts::White;
    else if (isDigit(c) || c == u'.' || c == u',')
      t[c] = Starts::Number;
    else if (isNameStart(c))
      t[c] = Starts::Name;
  }
  t[u'['] = Starts::Matrix;
  t[u'#'] = Starts::Const;
  t[u'&'] = Starts::Hex;
  t[u'!'] = Starts::Bin;
  t[u'<'] = t[u'>'] = Starts::Angle;
  return t;
}();

inline Starts startsOf(char16_t c) {
  if (c < 128)
    return kAsciiStarts[c];
  return isLetterBeyondAscii(c) ? Starts::Name : Starts::Symbol;
}

}  // namespace token_scan_detail

// The token that starts at s[i] (i < s.size()). Inline: the lexer calls it
// once per token of every formula.
[[gnu::always_inline]] inline TokenSpan scanToken(TextView s, size_t i) {
  using namespace token_scan_detail;
  const size_t n = s.size();
  size_t j = i + 1;
  auto span = [&](auto pred, Lexeme kind) {
    while (j < n && pred(s[j])) ++j;
    return TokenSpan{i, j, kind, 0};
  };
  switch (startsOf(s[i])) {
    case Starts::Symbol: return {i, j, Lexeme::Symbol, 0};
    case Starts::White: return span(isWhite, Lexeme::White);
    case Starts::Number: {
      const LiteralScan scan = scanDecimal(s, i);
      return TokenSpan{i, scan.end, Lexeme::Number, 0, !scan.wellFormed};
    }
    case Starts::Name: return span(isNameChar, Lexeme::Identifier);
    case Starts::Matrix: {
      while (j < n && s[j] != u']') ++j;
      if (j < n)
        ++j;  // the closing bracket; without one the token ends with the text
      TokenSpan t{i, j, Lexeme::Matrix, 0};
      if (s[j - 1] == u']' && j < n) {
        const char16_t suffix = upperAscii(s[j]);
        if (suffix == u'I' || suffix == u'T' || suffix == u'D') {
          t.matrixSuffix = suffix;
          ++t.end;
        }
      }
      return t;
    }
    case Starts::Const: return span(isIdentChar, Lexeme::Const);
    case Starts::Hex: return span(isIdentChar, Lexeme::Hex);
    case Starts::Bin: return span(isDigit, Lexeme::Bin);
    case Starts::Angle:
      if (j < n && (s[j] == u'=' || s[j] == u'>'))
        ++j;
      return {i, j, Lexeme::Symbol, 0};
  }
  return {i, j, Lexeme::Symbol, 0};
}

}  // namespace quadrel
