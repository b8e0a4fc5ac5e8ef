// The engine: every piece of mutable library state in one object. The exports
// and the plug-in use one process-wide instance; every test makes its own.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/diag/diag_state.h"
#include "core/diag/message_channel.h"
#include "core/diff/diff_state.h"
#include "core/eval/lexer.h"
#include "core/eval/name_store.h"
#include "core/matrix/matrix_state.h"
#include "core/plot/plot_state.h"
#include "core/numeric/numeric_state.h"
#include "core/script/script_state.h"
#include "core/text/u16.h"

namespace quadrel {

class Platform;

struct ErrorState {
  int32_t code = 0;          // e_error: -1 none, 0 stop before completion, >0 a code
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

struct Engine {
  explicit Engine(Platform& platform);

  Platform& platform;
  ErrorState errors;
  MessageChannel messages;
  LexerState lexer;
  EvalState eval;
  NameStore variables;
  NameStore functions;
  DiffState diff;
  NumericState numeric;

  DiagState diag;
  ScriptState script;
  PlotState plot;
  // Result text of the last script run, otmResStr (read by GetEvalResult).
  Text scriptResult;
  MatrixState matrix;
  // Number of decimals of results (plug-in setting "Decimals").
  int32_t decimals = 4;
};

}  // namespace quadrel
