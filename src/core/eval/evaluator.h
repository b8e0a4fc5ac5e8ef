// The evaluation entries: one formula to a value, or sampled over an interval.
#pragma once

#include <cstdint>

#include "core/ground/value.h"
#include "core/limits.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// e_eval: one formula to its outcome. An infinite result fails with the
// division-by-zero code.
EvalOutcome evaluate(Engine& e, TextView formula, bool check);
// de_eval: as evaluate (an infinite result fails with the same code), and a
// matrix result is also stored as "[mResult]".
EvalOutcome evaluateKeepingResult(Engine& e, TextView formula, bool check);
// The solvers' evaluation: as evaluateKeepingResult, but an infinite result
// is a value like any other (the solvers judge the values themselves).
EvalOutcome evaluateAllowingInfinity(Engine& e, TextView formula, bool check);
// e_evals: -1, or the code of the last failing point.
int32_t evaluateSamples(Engine& e, TextView formula, double x0, TextView variable, double x1, int32_t n, double* xs,
                        double* ys, double* info);
int32_t setBoolSign(Engine& e, int32_t sign);

}  // namespace quadrel
