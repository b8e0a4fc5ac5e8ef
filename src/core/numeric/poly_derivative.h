// Derivative of a polynomial written as text, term by term (c*var^e).
#pragma once

#include "core/text/u16.h"

namespace quadrel {

// Poly_dydx: x^3-2x+5 in x gives "3*x^2 - 2"; a term without the variable
// gives nothing; the result's signs are spelled " - " and " + ".
Text polynomialDerivative(TextView polynomial, TextView variable);

}  // namespace quadrel
