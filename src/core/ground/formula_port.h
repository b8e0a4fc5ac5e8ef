// What matrices, numerical methods and plots need of the formula evaluator:
// evaluate a formula, set a variable, sample a formula of one variable. They
// reach it through the engine (Engine::formulas) and so depend on this
// interface only, not on the evaluator; the evaluator implements it
// (eval/evaluator_port.h).
#pragma once

#include <cstdint>
#include <memory>

#include "core/ground/value.h"
#include "core/text/u16.h"

namespace quadrel {

// What e_eval gave for one point of a sampled formula.
struct SampleOutcome {
  int32_t status;  // e_eval's answer: 0 a number, 1 a matrix, else the error code
  bool written;    // the evaluation succeeded: value holds its result
  double value;
};

// One formula evaluated at many values of one variable.
class PointSampler {
 public:
  virtual ~PointSampler() = default;
  // Evaluates one point; the engine's code and result type end as e_eval
  // leaves them.
  virtual SampleOutcome evaluate(double x) = 0;
  // Call after the last point: leaves the evaluator's state (lexer,
  // expression of a later report) as evaluating that point's text would.
  virtual void finish() = 0;
};

class FormulaPort {
 public:
  virtual ~FormulaPort() = default;
  // e_eval without the user-function check; an infinite result fails with
  // the division-by-zero code.
  virtual EvalOutcome evaluate(TextView formula) = 0;
  // As evaluate, but an infinite result is a value like any other, and a
  // matrix result is also stored as "[mResult]" (the solvers judge the
  // values themselves).
  virtual EvalOutcome evaluateAllowingInfinity(TextView formula) = 0;
  // Defines (or redefines) a variable with the text of its value.
  virtual void setVariable(TextView name, TextView value) = 0;
  // True while an evaluation runs (matrices made then are its temporaries).
  virtual bool evaluating() const = 0;
  virtual std::unique_ptr<PointSampler> sampler(TextView formula, TextView variable) = 0;
};

}  // namespace quadrel
