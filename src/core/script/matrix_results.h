// The texts the expression and show commands write for matrices.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct CommandContext;

// R of Expr, Hex and Bin for a matrix result: the vector or matrix label and
// the matrix text with the current decimals. ok is false (and the failure
// counted) when the store does not hold the result.
Text matrixResultText(CommandContext& c, double handle, bool& ok);

// R of StoExpr for a matrix result: stores it under name (in brackets) from
// its definition text "[name]; rows; cols;e1; e2; ..." and gives the label
// and that text.
Text storeMatrixResultText(CommandContext& c, double handle, TextView name, Text& definition, bool& ok);

// R of Show for a matrix name: the label, the name and one line per row; or
// the error text of a missing matrix.
Text showMatrixText(CommandContext& c, TextView name);

}  // namespace quadrel
