#include "core/eval/evaluator.h"

#include <cmath>
#include <vector>

#include "core/diag/message_channel.h"
#include "core/engine.h"
#include "core/eval/compiled_formula.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/parser_internal.h"
#include "core/eval/user_functions.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

// Pre-processing common to the entries: check, expansion of user functions,
// decimal commas, then the first token. False when the evaluation must not
// start (the code is set).
bool prepare(Engine& e, TextView formula, bool check) {
  e.errors.code = kNoError;
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
  e.errors.code = kNoError;
  e.eval.inProgress = true;
  e.eval.depth = 0;
  nextToken(e);
  return true;
}

double run(Engine& e, uint8_t& type) {
  double v = parseLevel(e, 1, type);
  e.eval.inProgress = false;
  e.eval.resultType = int8_t(type);
  return v;
}

}  // namespace

int32_t evaluate(Engine& e, TextView formula, double* result, bool check) {
  ++e.eval.evaluations;
  if (!prepare(e, formula, check))
    return e.errors.code;
  uint8_t type;
  double v = run(e, type);
  if (e.lexer.kind != TokKind::End && e.errors.code == kNoError)
    raise(e, kErrEvaluatorSyntax, u"e_eval", 240, u"");
  if (v == HUGE_VAL)
    raise(e, kErrDivisionByZero, u"e_eval", 250, u"");
  if (e.errors.code != kNoError)
    return e.errors.code;
  if (result)
    *result = v;
  return type == 1 ? 1 : 0;
}

double evaluateToValue(Engine& e, TextView formula, bool check) {
  if (!prepare(e, formula, check))
    return double(e.errors.code);
  uint8_t type;
  double v = run(e, type);
  if (e.lexer.kind != TokKind::End && e.errors.code == kNoError)
    raise(e, kErrEvaluatorSyntax, u"de_eval", 300, u"e_tok = " + e.lexer.tokenType());
  if (e.errors.code != kNoError)
    return double(e.errors.code);
  return v;
}

int32_t evaluateSamples(Engine& e, TextView formula, double x0, TextView variable, double x1, int32_t n, double* xs,
                        double* ys, double* info) {
  e.errors.code = kNoError;
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

void traceToken(Engine& e) {
  LexerState& lx = e.lexer;
  Text t = u"e_nxt(" + intText(int64_t(lx.calls)) + u") type=" + lx.tokenType() + u" element=";
  t.append(lx.element());
  t.append(u" remaining=");
  t.append(lx.remaining());
  t.append(u" e_error=" + intText(e.errors.code));
  e.messages.send(e.platform, t, u"RaRarevo: Trace", false);
}

void traceParse(Engine& e, int level, bool enter) {
  Text t = u"--------------------||| e_prs(" + intText(level) + (enter ? u") ENTER" : u") EXIT") +
           u" |||--------------- depth=" + intText(e.eval.depth) + u" type=" + e.lexer.tokenType() + u" element=";
  t.append(e.lexer.element());
  t.append(u" e_error=" + intText(e.errors.code));
  e.messages.send(e.platform, t, u"RaRarevo: Trace", false);
}

}  // namespace quadrel
