// The evaluator's side of matrix operands: matrix tokens, matrix functions
// and operators with a matrix operand.
#pragma once

#include <cstdint>

#include "core/eval/lexer.h"
#include "core/eval/value.h"

namespace quadrel {

struct Engine;

// The current matrix token as a value: the handle of a temporary copy; reads
// the next token.
Operand matrixOperand(Engine& e);
// det, trace, syst, vcoeff with their bracketed arguments.
Operand matrixFunction(Engine& e);
// Every element of a matrix operand times factor.
Operand matrixScale(Engine& e, Operand matrix, double factor);
// A binary operator with at least one matrix operand.
Operand matrixCombine(Engine& e, Word word, uint32_t op, Operand left, Operand right);
// A matrix where a number is expected (function argument).
double matrixAsNumber(Engine& e, Operand matrix);

}  // namespace quadrel
