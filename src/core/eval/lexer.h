// Lexer state: the formula being evaluated and the current token.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

enum class TokKind : uint8_t {
  End,     // end of the formula (type is the empty text)
  Num,     // number; also a variable or named constant resolved on the spot
  Id,      // identifier that names a built-in function (or nothing known)
  Const,   // "#" + name
  Hex,     // "&" + digits
  Bin,     // "!" + digits
  Matrix,  // "[" + name + "]"
  Word,    // reserved word; the type is the word itself
  Symbol,  // any other character or the compound "<=", "<>", ">=", ">>"
};

// Reserved words, in the lists they belong to.
enum class Word : uint8_t {
  None,
  // aggregates
  Min,
  Max,
  Avg,
  Sum,
  Sum2,
  Prod,
  Prod2,
  Stddev,
  Count,
  GeomMean,
  Median,
  Mean,
  // logical words
  And,
  Eqv,
  Imp,
  Mod,
  Not,
  Or,
  Xor,
  // matrix functions
  Det,
  Trace,
  Syst,
  Vcoeff,
};

constexpr bool isAggregate(Word w) { return w >= Word::Min && w <= Word::Mean; }
constexpr bool isMatrixFunction(Word w) { return w >= Word::Det && w <= Word::Vcoeff; }
TextView wordText(Word w);
// The reserved word spelled exactly (case-sensitive), or Word::None.
Word reservedWord(TextView s);

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

// The token that starts at s[i] (i < s.size()). The lexer and every other
// reader of formula tokens (user-function expansion, sampling) split a text
// with it, so they agree on where names are.
TokenSpan scanToken(TextView s, size_t i);

// Packs one or two characters of a symbol token.
constexpr uint32_t sym(char16_t a, char16_t b = 0) { return uint32_t(a) | (uint32_t(b) << 16); }

struct LexerState {
  Text expression;            // the whole formula after pre-processing
  size_t index = 0;           // next character to read
  int64_t position = 0;       // characters consumed, as the ruler shows it
  int64_t rulerPosition = 0;  // position at the start of the current token
  uint64_t calls = 0;         // e_nxt calls, for the trace

  TokKind kind = TokKind::End;
  Word word = Word::None;
  uint32_t symbol = 0;    // for TokKind::Symbol
  int functionId = -1;    // for TokKind::Id: the built-in, or -1
  bool hasValue = false;  // Num, Hex or Bin token with its value already known
  double value = 0.0;
  char16_t matrixSuffix = 0;
  size_t elemStart = 0, elemLength = 0;  // element as a slice of the expression
  bool elementOwned = false;             // element lives in ownedElement instead
  bool elementFromValue = false;         // element is the text of `value`, made on demand
  Text ownedElement;

  TextView element();
  Text tokenType() const;
  TextView remaining() const { return index < expression.size() ? TextView(expression).substr(index) : TextView(); }
  Text rulerLine() const;
  // Resets for a new formula.
  void start();
};

}  // namespace quadrel
