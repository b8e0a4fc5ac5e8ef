// State of the evaluator: the error of the last operation with its log, and
// what evaluations keep between and during calls.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/eval/name_store.h"
#include "core/text/u16.h"

namespace quadrel {

struct ErrorState {
  int32_t code = 0;  // e_error: -1 none, 0 stop before completion, >0 a code
  // The code is the matrix library's (raised inside a formula): its own
  // table entry describes it, not the evaluator's text of the same number.
  bool matrixLibrary = false;
  Text log;                  // grows by one report per failure
  Text extendedInfo;         // extra block of the most recent report
  int32_t messagesFlag = 0;  // SetErrorMsgsF; read by the script layer only
};

// User functions by lower-cased name (the first in list order wins), rebuilt
// when the function store changes.
struct FunctionIndex {
  uint64_t generation = ~uint64_t(0);
  std::unordered_map<Text, int, TextHash, std::equal_to<>> byName;
  size_t longestName = 0;
};

struct EvalState {
  int8_t resultType = 0;                   // of the last evaluation: 0 number, 1 matrix, -1 after reset
  int32_t trueValue = -1;                  // what comparisons give for true
  bool inProgress = false;                 // an evaluation entry is running the parser
  int32_t matrixRows = 0, matrixCols = 0;  // shape of the last matrix value
  uint64_t evaluations = 0;                // e_eval calls, for the trace
  int depth = 0;                           // current parser nesting
  // Values of aggregate lists being read; nested lists share it as a stack.
  std::vector<double> aggregateValues;
  FunctionIndex functionIndex;
  std::vector<char> expansionActive;
  // Cached verdict of the user-function cycle check.
  uint64_t checkedGeneration = ~uint64_t(0);
  int cyclicFunction = -1;
  uint64_t randomState = 0;
};

}  // namespace quadrel
