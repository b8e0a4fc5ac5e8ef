// Pieces of the parser shared between its files.
#pragma once

#include <cstdint>

#include "core/eval/value.h"

namespace quadrel {

struct Engine;

// e_prs: parses and evaluates from the current token at the given level.
Operand parseLevel(Engine& e, int level);
void matchSymbol(Engine& e, char16_t expected);

// The evaluator's debug trace, written while the trace bit of the show level
// is set.
void traceToken(Engine& e);
void traceParse(Engine& e, int level, bool enter);

}  // namespace quadrel
