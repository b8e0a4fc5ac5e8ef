// Built-in one-argument functions (single precision), named constants (full
// precision) and aggregate functions over a list of values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/eval/lexer.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The built-in function of that name (compared in lower case), or -1.
int findFunction(TextView name);

// Applies a built-in; a domain violation or a negative infinity sets code 13
// (unless a code is pending) with its report, and the value is still given.
// id -1 sets code 4 with an "Undefined Function" report and gives 0.
double applyFunction(Engine& e, int id, double x);

// The full-precision constant of that name (compared in lower case).
bool findConstant(TextView name, double& value);

// The exported constant lookup, with its effects on the code and the lexer.
int32_t getConstant(Engine& e, TextView name, double* result);

// The names of the built-in functions and constants, in alphabetical order,
// each followed by a blank.
Text builtinFunctionNames();

// Value of an aggregate over n >= 1 values (the array may be reordered).
double aggregateValue(Word w, double* values, size_t n);

}  // namespace quadrel
