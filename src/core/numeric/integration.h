// Definite integrals of a formula in one variable by the midpoint,
// trapezoidal or Simpson rule on n equal subintervals. Each point is the
// formula with the (lower-cased) variable substituted as a whole identifier
// by the abscissa's ten-decimal text.
#pragma once

#include <cstdint>

#include "core/ground/error_table.h"
#include "core/limits.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

enum IntegrationMethod : int32_t { kMidpoint = 0, kTrapezoid = 1, kSimpson = 2 };


// Integrate: gives what the last evaluation gave (0 for a number), or the
// code 5 (no result address), 13 (n below 1 or above the maximum), 19
// (unknown method; 0 is stored) or 22 (Simpson with an odd n). Callers judge
// success by the evaluator code. Nothing is stored in the cases 5, 13, 22.
int32_t integrate(Engine& e, TextView formula, double a, double b, int32_t n, int32_t method, TextView variable,
                  double* result);

// dIntegrate: Integrate into the engine's result cell; gives the cell.
double integrateToCell(Engine& e, TextView formula, double a, double b, int32_t n, int32_t method, TextView variable);

}  // namespace quadrel
