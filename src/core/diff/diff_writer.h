// Formula texts of a tree in the node table: the fully bracketed form the
// rules compose the derivative in, and the form with only the brackets the
// operators need, used for the answer.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct DiffState;

// Df_GetFormula: appends the full form of node (nothing for node 0).
void appendFullForm(const DiffState& s, int32_t node, Text& out);

// Diff_GetFormula: appends the minimal form of node (nothing for node 0).
void appendMinimalForm(const DiffState& s, int32_t node, Text& out);

}  // namespace quadrel
