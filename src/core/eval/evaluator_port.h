// The evaluator's side of the formula port: the one implementation the
// engine hands to matrices, numerical methods and plots.
#pragma once

#include <memory>

#include "core/ground/formula_port.h"

namespace quadrel {

struct Engine;

std::unique_ptr<FormulaPort> makeEvaluatorPort(Engine& e);

}  // namespace quadrel
