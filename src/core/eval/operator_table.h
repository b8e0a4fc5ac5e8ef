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
// operator.
bool operatorRow(TokKind kind, Word word, uint32_t symbol, OperatorRow& row);

}  // namespace quadrel
