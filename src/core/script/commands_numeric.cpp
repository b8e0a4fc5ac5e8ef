// Numerical commands: Integrate, IntegrateF, Derivate, DerivateF, solvepolyn.
#include <cmath>

#include "core/engine.h"
#include "core/eval/error_table.h"
#include "core/numeric/integration.h"
#include "core/numeric/newton_solvers.h"
#include "core/numeric/poly_derivative.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/script/quiet_messages.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

// The nearest integer (ties to even) as text, for the bounds of the result line.
Text nearestIntegerText(double v) { return fixedText(std::nearbyint(v) + 0.0, 0); }

// n of the command: read as a double, taken to the nearest integer.
int32_t subintervalCount(TextView field) {
  const double n = std::nearbyint(leadingNumber(field));
  if (!(n >= double(INT32_MIN)))
    return INT32_MIN;
  return n > double(INT32_MAX) ? INT32_MAX : int32_t(n);
}

// Integrate(a; b; n; method; variable) = formula, with the note of the F
// variant; gives R.
Text runIntegrate(CommandContext& c, TextView params, TextView formula, TextView note) {
  Text fields = toLower(params) + u";";
  TextView field[5];
  TextView rest = fields;
  for (TextView& f : field) {
    const size_t semi = rest.find(u';');
    if (semi == TextView::npos)
      break;
    f = trimWhite(rest.substr(0, semi));
    rest.remove_prefix(semi + 1);
  }
  const double a = leadingNumber(field[0]), b = leadingNumber(field[1]);
  const int32_t n = subintervalCount(field[2]);
  const int32_t method = field[3] == u"trap" ? kTrapezoid : kMidpoint;

  // Messages are silenced for the call.
  Engine& e = c.e;
  double value = 0.0;
  {
    QuietMessages quiet(e);
    integrate(e, formula, a, b, n, method, field[4], &value);
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
  c.resultLine(u" Integral iFunction(" + nearestIntegerText(a) + u"," + nearestIntegerText(b) + u") => ", r);
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
  const bool failed = c.e.errors.code != kNoError;
  Text r;
  if (failed) {
    r = c.failure(c.e.errors.code);
  } else {
    r = c.labels.number;
    appendFixed(r, root, c.e.script.decimals);
  }
  c.header(u"Polyn = " + polynomial + u":", failed);
  c.resultLine(u" Solution Polyn => ", r);
}

}  // namespace quadrel
