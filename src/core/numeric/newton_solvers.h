// Roots of f(x) = 0 for a formula in a named variable: a coarse search for a
// start value over x = 0, 1, 2, ... followed by a fixed number of Newton
// steps. Each evaluation first stores the current x in the variable store
// (ten decimals) and then evaluates the formula, so failures never stop a
// search: the value the evaluator leaves is used, and the evaluator code
// holds the last evaluation's code.
#pragma once

#include <cstdint>
#include <functional>

#include "core/limits.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Steps of the start search (NewtSolve, dPolySolve).
constexpr int32_t kStartSearchSteps = 200;
// Newton steps of dSolve and SolveD.
constexpr int32_t kNewtonSteps = 20;

// NewtSolve: stores the start value at root; gives the evaluator code, or 5
// (nothing searched) when root is null.
int32_t newtonStart(Engine& e, TextView formula, TextView name, double* root);
// dPolySolve: the start value.
double startValue(Engine& e, TextView formula, TextView name);
// sPolyNewt: the start search on texts (de_eval, integer part of |f| against
// 3) with at most maxSteps steps; the start value as text.
Text startValueText(Engine& e, TextView formula, TextView name, int32_t maxSteps);

// dSolve: start value, then 20 Newton steps with the polynomial derivative.
double solvePolynomial(Engine& e, TextView polynomial, TextView name);

// SolveD without its differentiation: after the start search, derive is
// asked for the derivative text of the formula; when it answers false the
// result is -1 and nothing is stored. Otherwise 20 Newton steps, the root
// stored at root (when not null), and the evaluator code given.
using DerivativeSource = std::function<bool(Text& derivative)>;
int32_t solveWithDerivative(Engine& e, TextView formula, TextView name, double* root, const DerivativeSource& derive);
// SolveD: the same with the derivative from the differentiator; a failed
// differentiation (or one that leaves an evaluator code) gives -1 and
// stores nothing.
int32_t solveByDifferentiation(Engine& e, TextView formula, TextView name, double* root);

// sSolve: the text search, then steps Newton steps on ten-decimal texts
// (a step count below 1 counts as 1); the root as text.
Text solvePolynomialText(Engine& e, TextView polynomial, TextView name, int32_t steps);

}  // namespace quadrel
