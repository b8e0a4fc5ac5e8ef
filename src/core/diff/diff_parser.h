// The differentiation module's lexer and three-level parser: a formula text
// into nodes of the engine's node table.
#pragma once

#include <cstdint>

#include "core/limits.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Parses text into new nodes after those already handed out and gives the
// root's index (0 for none). Resets the parse fields first (error flag, bc,
// both previous token types, pos). A failure calls the error routine (the
// error flag is then set) and sets the evaluator code of its kind: 1 more
// than the table's nodes, 2 a wrong number, 3 a wrong first operand, 4 a
// function without brackets, 5 a wrong exponent, 6 anything else (an unknown
// character, a misplaced token, brackets nested deeper than maxNesting, a
// built-in function without a derivative rule, whose name as written goes to
// refusedName when given). Names are those of the evaluator, compared in
// lower case. The parse stops at the first failure and never writes outside
// the table.
int32_t parseDiffTree(Engine& e, TextView text, int maxNesting, Text* refusedName = nullptr);

// Reserves the node table (once) and forgets every node handed out.
void resetDiffNodes(Engine& e);

// The name-table entry of an operation code for the trace ("" when none).
TextView diffOpName(int32_t op);

}  // namespace quadrel
