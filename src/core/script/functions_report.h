// The report of supported operators and functions.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The operators, built-in functions, aggregates and constants the evaluator
// knows, one group a line.
Text supportedFunctionsReport(Engine& e);

}  // namespace quadrel
