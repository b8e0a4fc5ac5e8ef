// The evaluator's side of matrix operands: matrix tokens, matrix functions
// and operators with a matrix operand.
#pragma once

#include <cstdint>

#include "core/eval/lexer.h"

namespace quadrel {

struct Engine;

// The current matrix token as a value: the handle of a temporary copy, type 1;
// reads the next token.
double matrixOperand(Engine& e, uint8_t& type);
// det, trace, syst, vcoeff with their bracketed arguments.
double matrixFunction(Engine& e, uint8_t& type);
// Every element times factor.
double matrixScale(Engine& e, double handle, double factor, uint8_t& type);
// A binary operator with at least one matrix operand.
double matrixCombine(Engine& e, Word word, uint32_t op, double left, uint8_t leftType, double right, uint8_t rightType,
                     uint8_t& type);
// A matrix where a number is expected (function argument).
double matrixAsNumber(Engine& e, double handle);

}  // namespace quadrel
