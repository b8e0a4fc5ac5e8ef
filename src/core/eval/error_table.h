// The message table shared by the matrix library (base 1), the evaluator
// (base 30) and differentiation (base 60), and the status-message table.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

constexpr int kMatrixBase = 1;
constexpr int kEvalBase = 30;
constexpr int kDiffBase = 60;
constexpr int kMessageTableSize = 101;

// Evaluator codes.
enum EvalCode : int32_t {
  kNoError = -1,
  kErrUndefined = 0,
  kErrAmbiguousFunction = 1,
  kErrEvaluatorSyntax = 2,
  kErrParserSyntax = 3,
  kErrUndefinedFunction = 4,
  kErrNoValue = 5,
  kErrTokenMatch = 6,
  kErrNotFound = 7,
  kErrDivisionByZero = 8,
  kErrNotInteger = 9,
  kErrConditionMatrix = 10,
  kErrWrongStringMatrix = 11,
  kErrMatrixElements = 12,
  kErrInvalidArgument = 13,
  kErrMatrixNotFound = 14,
  kErrNoRealRoot = 14,  // the polynomial solver's "no real root found"
  kErrUndefinedConstant = 18,
  kErrVarFound = 21,
  kErrUndefinedCommand = 25,
};

// Matrix library codes (entry = code + 1).
enum MatrixCode : int32_t {
  kMatOk = -1,
  kMatOrdersNotEqual = 4,
  kMatOrdersNotValid = 5,
  kMatNotSquare = 6,
  kMatSingular = 7,
  kMatInvalidParameter = 8,
  kMatWrongRank = 10,
  kMatRankOfCoefficients = 12,
  kMatNoSolution = 13,
  kMatWrongSwap = 14,
  kMatNotDefined = 15,
  kMatInvalidOrder = 17,
};

// Text of table entry 0..100; the empty text for any other entry.
TextView messageEntry(int entry);

// Description of an evaluator code (the entry is code + 30; an entry outside
// 0..200 reads as code 25).
TextView describeCode(int32_t code);

// Text of a status code of the file and window functions.
TextView statusText(int32_t status);

}  // namespace quadrel
