// Pieces of the parser shared between its files.
#pragma once

#include <cstdint>

#include "core/eval/lexer.h"
#include "core/ground/value.h"

namespace quadrel {

struct Engine;

// Reads the next token into the lexer state (e_nxt).
void nextToken(Engine& e);
// e_prs: parses and evaluates from the current token at the given level.
Operand parseLevel(Engine& e, int level);
void matchSymbol(Engine& e, char16_t expected);
// Applies a binary operator to two numbers (word for "mod", "and", "or",
// "xor", else the symbol); failures raise their code on e.
double combineNumbers(Engine& e, Word word, uint32_t op, double l, double r);

// The evaluator's debug trace, written while the trace bit of the show level
// is set.
void traceToken(Engine& e);
void traceParse(Engine& e, int level, bool enter);

}  // namespace quadrel
