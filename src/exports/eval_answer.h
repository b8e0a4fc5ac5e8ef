// The return shapes of the evaluation exports, packed from an evaluation's
// outcome. Only the exports (and the tests of their contract) use these.
#pragma once

#include <cstdint>

#include "core/ground/value.h"

namespace quadrel {

// e_eval's answer: the error code, or the kind of the result (0 number,
// 1 matrix) with the value written to result (when not null).
inline int32_t evalAnswer(const EvalOutcome& outcome, double* result) {
  if (!outcome.ok())
    return outcome.error;
  if (result)
    *result = outcome.value;
  return int32_t(outcome.kind);
}

// de_eval's answer: the value, or the error code as a double.
inline double deEvalAnswer(const EvalOutcome& outcome) { return outcome.ok() ? outcome.value : double(outcome.error); }

}  // namespace quadrel
