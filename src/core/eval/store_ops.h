// Operations on the variable and user-function stores as the library offers
// them: define, look up, pick a store by name, reset the evaluator.
#pragma once

#include <cstddef>

#include "core/eval/name_store.h"

namespace quadrel {

struct Engine;

// Defines a variable (isFunction false) or a user function; gives the number
// of entries afterwards. An empty name stores nothing and sets code 13.
size_t defineEntry(Engine& e, TextView name, TextView value, bool isFunction);
// Looks a name up; null with code 7 when missing, else code -1.
const NamedEntry* findEntry(Engine& e, TextView name, bool isFunction);
// "vars" (any case) names the variable store, anything else the functions.
NameStore& storeNamed(Engine& e, TextView which);
// Empties both stores and the error log, resets the result type and the
// evaluator's debug flags.
void resetEvaluator(Engine& e);

}  // namespace quadrel
