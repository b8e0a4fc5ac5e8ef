// The engine: every piece of mutable library state in one object, made of
// the state each subsystem owns (core/<subsystem>/<subsystem>_state.h). The
// exports and the plug-in use one process-wide instance; every test makes
// its own.
#pragma once

#include <memory>

#include "core/diag/diag_state.h"
#include "core/diag/message_channel.h"
#include "core/diff/diff_state.h"
#include "core/eval/eval_state.h"
#include "core/eval/lexer.h"
#include "core/eval/name_store.h"
#include "core/ground/error_state.h"
#include "core/ground/formula_port.h"
#include "core/matrix/matrix_state.h"
#include "core/numeric/numeric_state.h"
#include "core/plot/plot_state.h"
#include "core/script/script_state.h"

namespace quadrel {

class Platform;

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
  MatrixState matrix;

  // The evaluator as the subsystems beneath it reach it.
  std::unique_ptr<FormulaPort> formulas;
};

}  // namespace quadrel
