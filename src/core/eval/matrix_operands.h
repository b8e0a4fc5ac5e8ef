// The evaluator's side of matrix operands: matrix tokens, matrix functions
// and operators with a matrix operand. A matrix operand carries the address
// of a temporary copy registered in the matrix store as "m_" + address; the
// operations work on those copies, so named matrices never change.
#pragma once

#include <cstdint>

#include "core/eval/lexer.h"
#include "core/ground/value.h"

namespace quadrel {

struct Engine;

// The current matrix token as a value: the handle of a temporary copy with
// its suffix (I, T, D) applied; reads the next token.
Operand matrixOperand(Engine& e);
// det, trace, syst, vcoeff with their bracketed arguments.
Operand matrixFunction(Engine& e);
// Every element of a matrix operand times factor.
Operand matrixScale(Engine& e, Operand matrix, double factor);
// A binary operator with at least one matrix operand; nothing is combined
// while an error is pending.
Operand matrixCombine(Engine& e, Word word, uint32_t op, Operand left, Operand right);
// A matrix where a number is expected (a function argument, an aggregate,
// "not"): code 10.
double matrixAsNumber(Engine& e, Operand matrix);

// The end of an evaluation: every temporary goes except the one holding a
// successful matrix result.
void endMatrixEvaluation(Engine& e, const EvalOutcome& outcome);
// Stores a matrix result as the non-temporary "[mResult]", with a copy of
// its elements.
void storeMatrixResult(Engine& e, const EvalOutcome& outcome);

}  // namespace quadrel
