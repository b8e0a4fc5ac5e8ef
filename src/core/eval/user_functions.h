// User functions as parameterless macros: each whole identifier that names a
// function (ignoring case) is replaced by its body in brackets, repeatedly.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Expands the user functions of formula into out. False, with code 1 and a
// report, when a definition reaches itself, or with code 3 when the
// expansion grows beyond its limit.
bool expandUserFunctions(Engine& e, TextView formula, Text& out);

// The check of the evaluation entries: false, with code 1 and a report, when
// any definition reaches itself directly or through others.
bool checkUserFunctions(Engine& e);

}  // namespace quadrel
