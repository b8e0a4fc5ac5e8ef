// The report of supported operators and functions.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The differentiation's list of constants, operators and functions, as
// GetDiff_OperAndFuncs gives it, and a line end.
Text supportedFunctionsReport(Engine& e);

}  // namespace quadrel
