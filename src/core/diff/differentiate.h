// e_diff: the derivative of a formula as formula text, and the module's list
// of operators and functions.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Differentiates formula with respect to variable (names are compared
// exactly) into answer. Gives true on success; the evaluator code is then
// -1. Failures: an empty formula (error flag 7, code 7), a parse error of the
// formula or of the derivative's text (flag 1, code 6; also when formula and
// derivative need more nodes than the table has), a division by the number 0
// met while simplifying (flag 1, code 8; the answer is still written). Each
// failure appends one report to the error log.
bool differentiate(Engine& e, TextView formula, TextView variable, Text& answer);

// The list of constants, operators and functions (GetDiff_OperAndFuncs).
Text diffOperatorsAndFunctions(Engine& e);

}  // namespace quadrel
