// Expression commands: Expr, Hex, Bin, ExprF and StoExpr.
#include <cmath>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/eval/name_store.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/script/file_arguments.h"
#include "core/script/matrix_results.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

enum class Radix { Decimal, Hex, Binary };

// Digits of a 64-bit two's complement value in base 16 or 2, no leading zeros.
Text radixDigits(int64_t value, Radix radix) {
  uint64_t u = uint64_t(value);
  const unsigned shift = radix == Radix::Hex ? 4 : 1;
  const uint64_t mask = radix == Radix::Hex ? 15 : 1;
  Text t;
  do {
    t.insert(t.begin(), u"0123456789ABCDEF"[u & mask]);
    u >>= shift;
  } while (u);
  return t;
}

// Evaluates a formula and writes its R text; false when it failed.
bool evaluateToText(CommandContext& c, TextView formula, Radix radix, Text& r) {
  if (formula.empty())
    return true;
  const EvalOutcome outcome = evaluate(c.e, formula, true);
  if (!outcome.ok()) {
    r = c.failure(outcome.error);
    return false;
  }
  if (outcome.isMatrix()) {
    bool ok;
    r = matrixResultText(c, outcome.value, ok);
    return ok;
  }
  const double value = outcome.value;
  if (c.options.collectValues)
    c.shownNumber = value;
  r = c.labels.number;
  if (radix == Radix::Decimal) {
    r.push_back(u' ');
    appendFixed(r, value, c.e.script.decimals);
    return true;
  }
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) {
    setErrorCode(c.e, kErrInvalidArgument);
    r = c.failure(kErrInvalidArgument);
    return false;
  }
  r.append(radix == Radix::Hex ? u" &" : u" !");
  r.append(radixDigits(int64_t(rounded), radix));
  return true;
}

void runExpression(CommandContext& c, TextView formula, TextView note, Radix radix) {
  Text r;
  bool ok = evaluateToText(c, formula, radix, r);
  Text body = toUpper(c.name) + u" = ";
  body.append(formula);
  body.append(u": ");
  body.append(note);
  c.header(body, !ok);
  c.resultLine(c.labels.result, r);
}

}  // namespace

void commandExpr(CommandContext& c) { runExpression(c, c.args, kNoOutputNote, Radix::Decimal); }
void commandHex(CommandContext& c) { runExpression(c, c.args, kNoOutputNote, Radix::Hex); }
void commandBin(CommandContext& c) { runExpression(c, c.args, kNoOutputNote, Radix::Binary); }

void commandExprF(CommandContext& c) {
  // ExprF = inputFile [outputFile]
  Text words(c.args);
  std::erase(words, u'\'');
  const FileArguments files = fileArguments(words);

  clearErrorCode(c.e);
  const Text content = cmdFileIO(c.e, files.input, u"fileinp", u"");
  TextView formula = content;
  if (size_t eq = formula.find(u'='); eq != TextView::npos)
    formula.remove_prefix(eq + 1);
  if (size_t q = formula.find(u'\''); q != TextView::npos)
    formula = formula.substr(0, q);
  const Text lowered = toLower(trimWhite(formula));

  Text r;
  bool ok = true;
  if (lowered.empty() && c.e.errors.code == kErrInvalidArgument) {
    r = c.failure(kErrInvalidArgument);  // the file was past the size limit
    ok = false;
  } else if (lowered.empty()) {
    r = c.statusFailure(c.e.script.status);
    ok = false;
  } else {
    ok = evaluateToText(c, lowered, Radix::Decimal, r);
  }
  Text body = u"EXPRF = " + lowered + u": " + files.note;
  c.header(body, !ok);
  c.resultLine(c.labels.result, r);
  if (!files.output.empty())
    cmdFileIO(c.e, files.output, u"fileout", r);
}

void commandStoExpr(CommandContext& c) {
  // StoExpr(name) = formula, or StoExpr(name; mode; file) = formula
  TextView fields[3];
  size_t count = 0;
  TextView rest = c.params;
  while (count < 3) {
    size_t semi = rest.find(u';');
    fields[count++] = trimWhite(rest.substr(0, semi));
    if (semi == TextView::npos)
      break;
    rest.remove_prefix(semi + 1);
  }
  const TextView name = fields[0];
  Text note(kNoOutputNote);
  if (count == 3)
    note = u"(=>" + Text(fields[1]) + u" " + Text(fields[2]) + u")";

  Text r;
  bool ok = true;
  const EvalOutcome outcome = evaluate(c.e, c.args, true);
  int32_t code = outcome.error;
  if (outcome.isNumber() && keyName(name).empty())
    setErrorCode(c.e, code = kErrInvalidArgument);
  if (code != kNoError) {
    r = c.failure(code);
    ok = false;
  } else if (outcome.isMatrix()) {
    Text definition;
    r = storeMatrixResultText(c, outcome.value, name, definition, ok);
    if (ok && count == 3)
      cmdFileIO(c.e, fields[2], fields[1], definition);
  } else {
    // The stored value keeps full precision; only the shown text is rounded.
    c.e.variables.defineNumber(keyName(name), outcome.value);
    r = u"Number " + Text(name) + u" = " + fixedText(outcome.value, c.e.script.decimals);
  }
  c.header(u"Expression = " + Text(c.args) + u": " + note, !ok);
  c.resultLine(c.labels.stored, r);
}

}  // namespace quadrel
