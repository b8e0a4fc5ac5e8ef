// Numerical commands: Integrate, IntegrateF, Derivate, DerivateF, solvepolyn.
#include <array>
#include <cmath>

#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/evaluator.h"
#include "core/numeric/integration.h"
#include "core/numeric/newton_solvers.h"
#include "core/numeric/poly_derivative.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/script/quiet_messages.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

// A bound of the result line: an integer as an integer, any other value with
// its decimals (never rounded to an integer).
Text boundText(double v) {
  if (v == std::trunc(v) && std::fabs(v) < 1e15)
    return fixedText(v + 0.0, 0);
  return trimNumberText(fixedText(v, kFormulaDecimals));
}

// n of the command: read as a double, taken to the nearest integer.
int32_t subintervalCount(TextView field) {
  const double n = std::nearbyint(leadingNumber(field));
  if (!(n >= double(INT32_MIN)))
    return INT32_MIN;
  return n > double(INT32_MAX) ? INT32_MAX : int32_t(n);
}

// The method word (or its number); false for any other word.
bool integrationMethod(TextView word, int32_t& method) {
  const struct {
    const char16_t* word;
    IntegrationMethod method;
  } kWords[] = {{u"", kMidpoint},   {u"0", kMidpoint},     {u"mid", kMidpoint}, {u"midpoint", kMidpoint},
                {u"1", kTrapezoid}, {u"trap", kTrapezoid}, {u"2", kSimpson},    {u"simpson", kSimpson}};
  for (const auto& w : kWords) {
    if (word == w.word) {
      method = w.method;
      return true;
    }
  }
  return false;
}

// A bound is a formula (variables, constants, the decimal comma); false with
// the evaluator's code set when it gives no number.
bool boundValue(Engine& e, TextView field, double& value) {
  const EvalOutcome outcome = evaluate(e, field, false);
  if (outcome.isNumber()) {
    value = outcome.value;
    return true;
  }
  if (outcome.ok())  // a matrix where a number is needed
    raise(e, kErrInvalidArgument, u"Integrate", 410, u"Bound = " + Text(field) + u" is no number\r\n");
  return false;
}

// The five fields of "a; b; n; method; variable", trimmed.
std::array<TextView, 5> integrationFields(TextView params) {
  std::array<TextView, 5> field;
  for (TextView& f : field) {
    const size_t semi = params.find(u';');
    f = trimWhite(params.substr(0, semi));
    if (semi == TextView::npos)
      break;
    params.remove_prefix(semi + 1);
  }
  return field;
}

// Integrate(a; b; n; method; variable) = formula, with the note of the F
// variant; gives R.
Text runIntegrate(CommandContext& c, TextView params, TextView formula, TextView note) {
  Engine& e = c.e;
  const std::array<TextView, 5> field = integrationFields(params);
  const Text methodWord = toLower(field[3]), variable = toLower(field[4]);
  double a = 0.0, b = 0.0, value = 0.0;
  int32_t method = kMidpoint;
  clearErrorCode(e);
  const bool boundsRead = boundValue(e, field[0], a) && boundValue(e, field[1], b);
  if (boundsRead && !integrationMethod(methodWord, method))
    raise(e, kErrInvalidArgument, u"Integrate", 420,
          u"Method = " + Text(field[3]) + u": use trap (or 1), simpson (or 2), mid or midpoint (or 0, or nothing)\r\n");
  if (e.errors.code == kNoError) {
    // Messages are silenced for the call.
    QuietMessages quiet(e);
    integrate(e, formula, a, b, subintervalCount(field[2]), method, variable, &value);
  }

  const bool failed = e.errors.code != kNoError;
  Text r;
  if (failed) {
    r = c.failure(e.errors.code);
  } else {
    r = c.labels.number;
    appendFixed(r, value, e.script.decimals);
    if (c.options.collectValues)
      c.shownNumber = value;
  }
  Text body = u"iFunction = ";
  body.append(formula);
  body.append(u": ");
  body.append(note);
  c.header(body, failed);
  // A bound that was not read is shown as written.
  const Text from = boundsRead ? boundText(a) : Text(field[0]), to = boundsRead ? boundText(b) : Text(field[1]);
  c.resultLine(u" Integral iFunction(" + from + u"," + to + u") => ", r);
  return r;
}

// Derivate's block for a polynomial; gives R.
Text runDerivate(CommandContext& c, TextView polynomial, TextView note) {
  const Text r = polynomialDerivative(polynomial, c.e.script.polynomialVariable);
  Text body = u"Polyn = ";
  body.append(polynomial);
  body.append(u":");
  body.append(note);
  c.header(body, false);
  c.resultLine(u" Derivate of Polyn => ", r);
  return r;
}

// The input and output files of an F variant: "inputFile [outputFile]".
struct FileWords {
  Text input, output, note;
};

FileWords fileWords(TextView args) {
  const TextView all = trimWhite(args);
  const size_t space = all.find(u' ');
  FileWords w{stripBrackets(all.substr(0, space)), Text(), Text(kNoOutputNote)};
  if (space != TextView::npos)
    w.output = stripBrackets(trimWhite(all.substr(space + 1)));
  if (!w.output.empty())
    w.note = u"=>(" + Text(all) + u")";
  return w;
}

}  // namespace

void commandIntegrate(CommandContext& c) { runIntegrate(c, c.params, c.args, kNoOutputNote); }

void commandIntegrateF(CommandContext& c) {
  const FileWords w = fileWords(c.args);
  const Text line = cmdFileIO(c.e, w.input, u"fileinp", u"");
  // The file holds a whole command line: Integrate(a; b; n; method; variable) = formula.
  const TextView text = line;
  const size_t eq = text.find(u'=');
  const TextView head = text.substr(0, eq);
  TextView params, formula;
  if (const size_t open = head.find(u'('); open != TextView::npos) {
    const size_t close = head.find(u')', open + 1);
    params = head.substr(open + 1, close == TextView::npos ? TextView::npos : close - open - 1);
  }
  if (eq != TextView::npos) {
    formula = text.substr(eq + 1);
    formula = trimWhite(formula.substr(0, formula.find(u'\'')));
  }
  const Text r = runIntegrate(c, params, formula, w.note);
  if (!w.output.empty())
    cmdFileIO(c.e, w.output, u"fileout", r);
}

void commandDerivate(CommandContext& c) { runDerivate(c, c.args, u""); }

void commandDerivateF(CommandContext& c) {
  const FileWords w = fileWords(c.args);
  const Text polynomial(trimWhite(cmdFileIO(c.e, w.input, u"fileinp", u"")));
  const Text r = runDerivate(c, polynomial, u" " + w.note);
  if (!w.output.empty())
    cmdFileIO(c.e, w.output, u"fileout", r);
}

void commandSolvePolyn(CommandContext& c) {
  Text polynomial(c.args);
  std::erase(polynomial, u'\'');
  const double root = solvePolynomial(c.e, polynomial, c.e.script.polynomialVariable);
  const int32_t code = c.e.errors.code;
  Text r;
  if (code == kErrNoRealRoot) {
    // The code is shared with the matrix table's row; the solver's own words say what happened.
    c.failure(code);
    r = u"===> ERROR n. = " + intText(code) + u": no real root found";
  } else if (code != kNoError) {
    r = c.failure(code);
  } else {
    r = c.labels.number;
    appendFixed(r, root, c.e.script.decimals);
  }
  c.header(u"Polyn = " + polynomial + u":", code != kNoError);
  c.resultLine(u" Solution Polyn => ", r);
}

}  // namespace quadrel
