// Diff_Simplify: neutral elements, zeros and constant folding over a tree of
// the node table, children first, in place.
#pragma once

#include <cstdint>

namespace quadrel {

struct Engine;

// Gives the index of the node that replaces node. A division by the number 0
// calls the error routine with "Division by zero." and sets the evaluator
// code 8; the node then stays. A fold never produces a value that is not
// finite, and a product whose right (then left) factor simplifies to 0 is 0
// before the other factor is looked at, so a chain-rule term with an inner
// derivative of 0 never folds a function outside its domain.
int32_t simplifyDiffTree(Engine& e, int32_t node);

// The value of a one-argument function of the module (codes 10..28) at a.
double diffFunctionValue(int32_t op, double a);

}  // namespace quadrel
