// Values of formulas: a number or a matrix, and what one evaluation gives.
// The exports pack an outcome into their own return shapes; inside the core
// the error code and the kind of the result never share one integer.
#pragma once

#include <cstdint>

#include "core/ground/error_table.h"

namespace quadrel {

// The kind of a value (GetResultType reports it as 0 or 1).
enum class ValueKind : uint8_t { Number = 0, Matrix = 1 };

// One operand of the parser: a number, or a matrix given by the handle of its
// temporary copy in the matrix store.
struct Operand {
  ValueKind kind = ValueKind::Number;
  double value = 0.0;

  static constexpr Operand number(double v) { return {ValueKind::Number, v}; }
  static constexpr Operand matrix(double handle) { return {ValueKind::Matrix, handle}; }
  constexpr bool isMatrix() const { return kind == ValueKind::Matrix; }
};

// What one evaluation of a formula gives: the evaluator code (kNoError on
// success) and, on success only, the kind and the value of the result.
struct EvalOutcome {
  int32_t error = kNoError;
  ValueKind kind = ValueKind::Number;
  double value = 0.0;

  constexpr bool ok() const { return error == kNoError; }
  constexpr bool isNumber() const { return ok() && kind == ValueKind::Number; }
  constexpr bool isMatrix() const { return ok() && kind == ValueKind::Matrix; }
  static constexpr EvalOutcome failure(int32_t code) { return {code, ValueKind::Number, 0.0}; }
  static constexpr EvalOutcome success(Operand result) { return {kNoError, result.kind, result.value}; }
};

}  // namespace quadrel
