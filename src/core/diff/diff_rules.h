// The rules of differentiation: the derivative of a tree as fully bracketed
// formula text, and the number of nodes that text reads back into.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct DiffState;

// Df: appends the derivative of node with respect to variable.
void appendDerivative(const DiffState& s, int32_t node, TextView variable, Text& out);

// The number of nodes the text appendDerivative writes for node parses
// into, computed without writing it (so a derivative too large for the
// table is refused in time linear in the formula). Saturates at limit + 1.
int64_t derivativeNodeCount(const DiffState& s, int32_t node, int64_t limit);

}  // namespace quadrel
