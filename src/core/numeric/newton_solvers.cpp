#include "core/numeric/newton_solvers.h"

#include <algorithm>
#include <cmath>

#include "core/diff/differentiate.h"
#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/evaluator.h"
#include "core/eval/store_ops.h"
#include "core/numeric/poly_derivative.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

void setValue(Engine& e, TextView name, TextView value) { defineEntry(e, name, value, false); }
void setValue(Engine& e, TextView name, double x) { setValue(e, name, fixedText(x, kFormulaDecimals)); }

// e_eval into a cell that keeps its value when the evaluation fails.
// As de_eval: the value, or the error code as a number.
double valueOrCode(Engine& e, TextView formula) {
  const EvalOutcome outcome = evaluateAllowingInfinity(e, formula, false);
  return outcome.ok() ? outcome.value : double(outcome.error);
}

void evaluateInto(Engine& e, TextView formula, double& cell) {
  // As e_eval: the cell is written only when the evaluation succeeds.
  if (const EvalOutcome outcome = evaluate(e, formula, false); outcome.ok())
    cell = outcome.value;
}

// Newton steps from x: f and its derivative at x, x - f / d (x - f when d is
// 0). Each step reports both evaluator codes and then "step, x".
double newtonSteps(Engine& e, TextView formula, TextView derivative, TextView name, double x, TextView title) {
  double f = 0.0, d = 0.0;
  for (int32_t step = 1; step <= kNewtonSteps; ++step) {
    setValue(e, name, x);
    evaluateInto(e, formula, f);
    e.messages.send(e.platform, intText(e.errors.code), title, false);
    evaluateInto(e, derivative, d);
    e.messages.send(e.platform, intText(e.errors.code), title, false);
    x = d == 0 ? x - f : x - f / d;
    e.messages.send(e.platform, intText(step) + u", " + fixedText(x, kFormulaDecimals), title, false);
  }
  return x;
}

}  // namespace

double startValue(Engine& e, TextView formula, TextView name) {
  double x = 0.0, f1 = 0.0, f2 = 0.0;
  for (int32_t steps = 0; steps < kStartSearchSteps;) {
    setValue(e, name, x);
    evaluateInto(e, formula, f1);
    x += 1;
    setValue(e, name, x);
    evaluateInto(e, formula, f2);
    if (std::fabs(f1) <= 3)
      break;
    if (std::fabs(f2) <= 3) {
      x += 1;
      break;
    }
    if (std::fabs(f2) < std::fabs(f1))
      x += 1;
    else if (std::fabs(f2) > std::fabs(f1))
      x -= 1;
    ++steps;
  }
  return x == 0 ? 1.0 : x;
}

int32_t newtonStart(Engine& e, TextView formula, TextView name, double* root) {
  if (!root) {
    clearErrorCode(e);
    raise(e, kErrNoValue, u"NewtSolve", 30, u"Returned Value not defined\r\n");
    return kErrNoValue;
  }
  *root = startValue(e, formula, name);
  return e.errors.code;
}

Text startValueText(Engine& e, TextView formula, TextView name, int32_t maxSteps) {
  maxSteps = std::clamp(maxSteps, 1, kMaxTextSteps);
  // x moves by whole steps from 0, so its text is its integer text.
  int64_t x = 0;
  // The integer part of |f| as its ten-decimal text reads.
  auto magnitude = [&](int64_t at) {
    setValue(e, name, double(at));
    const double f = valueOrCode(e, formula);
    return std::fabs(std::trunc(leadingNumber(fixedText(f, kFormulaDecimals))));
  };
  for (int32_t steps = 0; steps < maxSteps;) {
    const double f1 = magnitude(x);
    x += 1;
    const double f2 = magnitude(x);
    if (f1 <= 3)
      break;
    if (f2 <= 3) {
      x += 1;
      break;
    }
    if (f2 < f1)
      x += 1;
    else if (f2 > f1)
      x -= 1;
    ++steps;
  }
  return x == 0 ? Text(u"1") : intText(x);
}

double solvePolynomial(Engine& e, TextView polynomial, TextView name) {
  if (polynomial.find(u'=') != TextView::npos) {
    // "=" would be read as a comparison, whose value has no root to find.
    clearErrorCode(e);
    raise(e, kErrInvalidArgument, u"dSolve", 40, u"Polynomial = " + Text(polynomial) + u": it may hold no \"=\"\r\n");
    return 0.0;
  }
  const double start = startValue(e, polynomial, name);
  const Text derivative = polynomialDerivative(polynomial, name);
  const double x = newtonSteps(e, polynomial, derivative, name, start, u"dSolve");
  if (e.errors.code != kNoError)
    return x;
  // Newton's steps end anywhere when there is no real root (x^2 + 1): the
  // last one must have brought f(x) near 0.
  setValue(e, name, x);
  double f = NAN, d = NAN;
  evaluateInto(e, polynomial, f);
  evaluateInto(e, derivative, d);
  const bool nearZero = std::fabs(f) <= 1e-9 || std::fabs(f / d) <= 1e-7 * (1 + std::fabs(x));
  if (e.errors.code == kNoError && !nearZero)
    raise(e, kErrNoRealRoot, u"dSolve", 50,
          u"no real root found: f(" + fixedText(x, kFormulaDecimals) + u") = " + fixedText(f, kFormulaDecimals) +
              u"\r\n");
  return x;
}

int32_t solveWithDerivative(Engine& e, TextView formula, TextView name, double* root, const DerivativeSource& derive) {
  const double start = startValue(e, formula, name);
  Text derivative;
  if (!derive(derivative) || e.errors.code != kNoError)
    return -1;
  const double x = newtonSteps(e, formula, derivative, name, start, u"SolveD");
  if (root)
    *root = x;
  return e.errors.code;
}

Text solvePolynomialText(Engine& e, TextView polynomial, TextView name, int32_t steps) {
  Text x = startValueText(e, polynomial, name, kStartSearchSteps);
  const Text derivative = polynomialDerivative(polynomial, name);
  steps = std::clamp(steps, 1, kMaxTextSteps);
  for (int32_t k = 0; k < steps; ++k) {
    setValue(e, name, leadingNumber(x));
    const Text f = fixedText(valueOrCode(e, polynomial), kFormulaDecimals);
    const Text d = fixedText(valueOrCode(e, derivative), kFormulaDecimals);
    const double xv = leadingNumber(x), fv = leadingNumber(f), dv = leadingNumber(d);
    x = fixedText(dv == 0 ? xv - fv : xv - fv / dv, kFormulaDecimals);
  }
  return x;
}

int32_t solveByDifferentiation(Engine& e, TextView formula, TextView name, double* root) {
  // The whole derivative text at once: what a buffer of ten times the
  // formula's length, retried once with the length it reports, receives.
  return solveWithDerivative(e, formula, name, root,
                             [&](Text& derivative) { return differentiate(e, formula, name, derivative); });
}

}  // namespace quadrel
