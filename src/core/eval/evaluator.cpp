#include "core/eval/evaluator.h"

#include <cmath>
#include <vector>

#include "core/diag/message_channel.h"
#include "core/engine.h"
#include "core/eval/compiled_formula.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/lexer.h"
#include "core/eval/matrix_operands.h"
#include "core/eval/parser_internal.h"
#include "core/eval/user_functions.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

// Pre-processing common to the entries: check, expansion of user functions,
// decimal commas, then the first token. False when the evaluation must not
// start (the code is set).
bool prepare(Engine& e, TextView formula, bool check) {
  clearErrorCode(e);
  if (check && !checkUserFunctions(e))
    return false;
  // The expansion rewrites the expression: the last token of the previous
  // evaluation no longer lies in it (a report of a failing expansion reads it).
  e.lexer.start();
  Text& text = e.lexer.expression;
  if (!expandUserFunctions(e, formula, text))
    return false;
  // "," is a decimal comma in formulas, also inside user-function bodies.
  for (char16_t& c : text)
    if (c == u',')
      c = u'.';
  clearErrorCode(e);
  e.eval.inProgress = true;
  e.eval.depth = 0;
  nextToken(e);
  return true;
}

Operand run(Engine& e) {
  const Operand v = parseLevel(e, 1);
  e.eval.inProgress = false;
  e.eval.resultType = int8_t(v.kind);
  return v;
}

// The outcome once the parser has run: its code when one was set, else the
// value it gave.
EvalOutcome finish(const Engine& e, Operand v) {
  if (e.errors.code != kNoError)
    return EvalOutcome::failure(e.errors.code);
  return EvalOutcome::success(v);
}

}  // namespace

EvalOutcome evaluate(Engine& e, TextView formula, bool check) {
  ++e.eval.evaluations;
  if (!prepare(e, formula, check))
    return EvalOutcome::failure(e.errors.code);
  const Operand v = run(e);
  if (e.lexer.kind != TokKind::End && e.errors.code == kNoError)
    raise(e, kErrEvaluatorSyntax, u"e_eval", 240, u"");
  if (!v.isMatrix() && v.value == HUGE_VAL)
    raise(e, kErrDivisionByZero, u"e_eval", 250, u"");
  const EvalOutcome outcome = finish(e, v);
  endMatrixEvaluation(e, outcome);
  return outcome;
}

namespace {

// de_eval and the solvers' evaluation: a matrix result is also stored.
EvalOutcome evaluateAndStore(Engine& e, TextView formula, bool check, bool refuseInfinity) {
  if (!prepare(e, formula, check))
    return EvalOutcome::failure(e.errors.code);
  const Operand v = run(e);
  if (e.lexer.kind != TokKind::End && e.errors.code == kNoError)
    raise(e, kErrEvaluatorSyntax, u"de_eval", 300, u"e_tok = " + e.lexer.tokenType());
  if (refuseInfinity && !v.isMatrix() && v.value == HUGE_VAL)
    raise(e, kErrDivisionByZero, u"de_eval", 310, u"");
  const EvalOutcome outcome = finish(e, v);
  endMatrixEvaluation(e, outcome);
  storeMatrixResult(e, outcome);
  return outcome;
}

}  // namespace

EvalOutcome evaluateKeepingResult(Engine& e, TextView formula, bool check) {
  return evaluateAndStore(e, formula, check, true);
}

EvalOutcome evaluateAllowingInfinity(Engine& e, TextView formula, bool check) {
  return evaluateAndStore(e, formula, check, false);
}

int32_t evaluateSamples(Engine& e, TextView formula, double x0, TextView variable, double x1, int32_t n, double* xs,
                        double* ys, double* info) {
  clearErrorCode(e);
  if (n < 1) {
    raise(e, kErrInvalidArgument, u"e_evals", 360, u"n = " + intText(n) + u"\r\n");
    return e.errors.code;
  }
  // One parse for all points; each point is still defined by substitution.
  FormulaSampler sampler(e, formula, variable);

  const double step = (x1 - x0) / n;
  double y = 0.0;
  bool any = false;
  for (int32_t k = 0; k <= n; ++k) {
    // The first point is x0 itself (an infinite step times 0 is no number);
    // the last is x1 itself, so rounding in the steps cannot drop it.
    const double x = k == 0 ? x0 : k == n ? x1 : x0 + step * k;
    if (!(x <= x1))
      break;
    const SampleOutcome point = sampler.evaluate(x);
    if (point.status == 0 && point.written) {
      const double value = point.value;
      y = value;
      if (info) {
        if (!any) {
          info[1] = info[3] = x;
          info[2] = info[4] = y;
        } else {
          if (x < info[1])
            info[1] = x;
          if (y < info[2])
            info[2] = y;
          if (x > info[3])
            info[3] = x;
          if (y > info[4])
            info[4] = y;
        }
      }
      any = true;
    }
    if (xs)
      xs[k] = x;
    if (ys)
      ys[k] = y;
  }
  sampler.finish();
  if (info)
    info[0] = 0.0;
  if (e.errors.code != kNoError) {
    addReport(e, u"e_evals", 395, u"");
    return e.errors.code;
  }
  return kNoError;
}

int32_t setBoolSign(Engine& e, int32_t sign) {
  if (sign == 1 || sign == -1) {
    e.eval.trueValue = sign;
  } else if (e.messages.showLevel & kShowParser) {
    e.messages.send(e.platform, u"Procedure: SetBoolSign\r\nWrong parameter. Must be 1 or -1", u"RaRarevo: Error",
                    e.messages.showLevel != 0);
  }
  return 0;
}

}  // namespace quadrel
