// The one table of binary operators of formulas: the parser and the compiled
// sampler climb precedence with it, so both read a formula the same way.
#pragma once

#include <cstdint>

#include "core/eval/lexer.h"

namespace quadrel {

// The highest parse level at which an operator applies and the level of its
// right operand (one above for left-associative operators: "^" too, so
// 2^3^2 is (2^3)^2).
struct OperatorRow {
  int maxLevel, rightLevel;
};

// Levels of the operands of the prefix operators: a leading sign binds
// tighter than "*" and looser than "^" (-2^2 is -(2^2)); "not" takes a
// comparison.
constexpr int kSignOperandLevel = 11;
constexpr int kNotOperandLevel = 6;
// The level of a whole expression (brackets, arguments).
constexpr int kExpressionLevel = 1;

// The row of a word or symbol token; false when the token is no binary
// operator. In the header: the parser asks it after every operand.
constexpr bool operatorRow(TokKind kind, Word word, uint32_t symbol, OperatorRow& row) {
  if (kind == TokKind::Word) {
    switch (word) {
      case Word::Mod: row = {8, 9}; return true;
      case Word::And: row = {5, 6}; return true;
      case Word::Or: row = {4, 5}; return true;
      case Word::Xor: row = {3, 4}; return true;
      default: return false;
    }
  }
  if (kind != TokKind::Symbol)
    return false;
  switch (symbol) {
    case sym(u'^'): row = {11, 12}; return true;
    case sym(u'*'):
    case sym(u'/'): row = {10, 11}; return true;
    case sym(u'\\'): row = {9, 10}; return true;
    case sym(u'+'):
    case sym(u'-'): row = {7, 8}; return true;
    case sym(u'='):
    case sym(u'<'):
    case sym(u'>'):
    case sym(u'<', u'>'):
    case sym(u'<', u'='):
    case sym(u'>', u'='): row = {6, 7}; return true;
    default: return false;
  }
}

}  // namespace quadrel
