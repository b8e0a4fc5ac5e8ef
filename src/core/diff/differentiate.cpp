#include "core/diff/differentiate.h"

#include <algorithm>

#include "core/diag/debug_log.h"
#include "core/diff/diff_parser.h"
#include "core/diff/diff_rules.h"
#include "core/diff/diff_simplify.h"
#include "core/diff/diff_state.h"
#include "core/diff/diff_trace.h"
#include "core/diff/diff_writer.h"
#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/limits.h"
#include "core/text/number_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr TextView kProcedure = u"e_diff";
// Characters the derivative's text may take (a name of the formula is copied
// once per node at most, with a few brackets and an operator beside it).
constexpr int64_t kMaxDerivativeText = int64_t(1) << 25;

size_t longestText(const DiffState& s) {
  size_t longest = 0;
  for (int32_t i = 1; i <= s.index; ++i) longest = std::max(longest, s.nodes[size_t(i)].con.size());
  return longest;
}

// One trace line per node from first to last.
void traceNodes(Engine& e, TextView title, int32_t first, int32_t last) {
  const DiffState& s = e.diff;
  for (int32_t i = first; i <= last && i <= s.index; ++i) {
    const DiffNode& n = s.nodes[size_t(i)];
    diffTrace(e, title,
              u"Node=" + intText(i) + u", l=" + intText(n.l) + u", r=" + intText(n.r) + u", opCode=" +
                  intText(n.opCode) + u", op=" + Text(diffOpName(n.opCode)) + u", con=" + n.con);
  }
}

// The report is the message and, when given, a line that says more.
bool failDifferentiation(Engine& e, int8_t flag, int32_t code, TextView message, TextView detail = {}) {
  e.diff.errorFlag = flag;
  Text extra = Text(message) + u"\r\n";
  if (!detail.empty())
    extra.append(Text(detail) + u"\r\n");
  fail(e, {code, kProcedure, 160, extra}, Pending::Replaced);
  if (diffTracing(e))
    diffTrace(e, kProcedure, u"OUT 2, Error=" + intText(code));
  return false;
}

bool parseFailed(const DiffState& s) { return s.errorFlag != kDiffOk || s.bc != 0; }

bool formulaError(Engine& e, TextView message, TextView detail = {}) {
  diffError(e, message);
  return failDifferentiation(e, kDiffFailed, kErrTokenMatch, message, detail);
}

// The differentiation proper, on the caller's stack.
bool differentiateHere(Engine& e, TextView formula, TextView variable, Text& answer) {
  DiffState& s = e.diff;
  answer.clear();
  if (diffTracing(e))
    diffTrace(e, kProcedure, u"IN_, Formula=" + Text(formula));
  if (trimWhite(formula).empty()) {
    s.errorFlag = kDiffEmpty;
    return failDifferentiation(e, kDiffEmpty, kErrNotFound, u"Empty formula.");
  }

  resetDiffNodes(e);
  Text refused;
  s.formulaRoot = parseDiffTree(e, formula, kMaxFormulaNesting, &refused);
  if (diffTracing(e))
    traceNodes(e, u"Nodes Expr.", 1, s.index);
  if (parseFailed(s)) {
    s.formulaRoot = 0;
    // A function the evaluator knows but the rules do not: the report names it.
    if (!refused.empty())
      return formulaError(e, u"Error in formula.", u"No derivative rule for function = " + refused);
    return formulaError(e, u"Error in formula.");
  }

  // The derivative's text must parse into the nodes left; refuse it before
  // writing it when it cannot.
  const int64_t room = kMaxDiffNodes - s.index;
  const int64_t nodes = derivativeNodeCount(s, s.formulaRoot, room);
  if (nodes > room || nodes * int64_t(longestText(s) + 16) > kMaxDerivativeText) {
    diffError(e, u"Too long formula");
    return formulaError(e, u"Error in formula.");
  }
  Text full;
  if (diffTracing(e))
    diffTrace(e, u"Df", u"IN_, gtNum=" + intText(s.formulaRoot));
  appendDerivative(s, s.formulaRoot, variable, full);
  if (diffTracing(e)) {
    diffTrace(e, u"Df", u"OUT 1, Result=" + full);
    diffTrace(e, u"Df(TreeExpr)", full);
    diffTrace(e, kProcedure, u"Formula after Diff=" + full);
  }

  const int32_t firstDerivativeNode = s.index + 1;
  s.derivativeRoot = parseDiffTree(e, full, kMaxDerivativeNesting);
  if (diffTracing(e))
    traceNodes(e, u"Nodes Diff", firstDerivativeNode, s.index);
  if (parseFailed(s)) {
    s.derivativeRoot = 0;
    return formulaError(e, u"Error in formula.");
  }

  clearErrorCode(e);
  if (diffTracing(e))
    diffTrace(e, u"Diff_Simplify", u"IN_, gtNum=" + intText(s.derivativeRoot));
  const int32_t root = simplifyDiffTree(e, s.derivativeRoot);
  if (diffTracing(e)) {
    diffTrace(e, u"Diff_Simplify", u"OUT 1, Result=" + intText(root));
    diffTrace(e, u"Diff_GetFormula", u"IN_, gtNum=" + intText(root));
  }
  appendMinimalForm(s, root, answer);
  if (diffTracing(e))
    diffTrace(e, u"Diff_GetFormula", u"OUT 1, Result=" + answer);
  if (answer == u"-0")
    answer = u"0";
  if (s.errorFlag != kDiffOk)
    return failDifferentiation(e, kDiffFailed, kErrDivisionByZero, u"Division by zero.");
  clearErrorCode(e);
  if (diffTracing(e))
    diffTrace(e, kProcedure, u"OUT 1, Result=" + answer);
  return true;
}

}  // namespace

bool differentiate(Engine& e, TextView formula, TextView variable, Text& answer) {
  // A short formula cannot nest deep: it runs where it was called.
  if (formula.size() <= kDiffInPlaceChars)
    return differentiateHere(e, formula, variable, answer);
  // A long one recurses per bracket level of its derivative's text, deeper
  // than the stack a caller such as the editor's thread may have left.
  bool ok = false;
  if (!e.platform.runOnLargeStack(kDiffStackBytes, [&] { ok = differentiateHere(e, formula, variable, answer); })) {
    answer.clear();
    return formulaError(e, u"No thread for the differentiation of a long formula.");
  }
  return ok;
}

Text diffOperatorsAndFunctions(Engine& e) {
  Text fileVersion, productVersion;
  libraryVersion(e, fileVersion, productVersion);
  Text t = u"Library: oTemar.dll - Version: " + fileVersion + u" (build: 66)";
  t.append(u"\r\nSupported Constants:");
  t.append(u"\r\n  PI\t= " + fixedText(3.141592653589793, 10) + u" (also #PI)");
  t.append(u"\r\n  e \t= " + fixedText(2.71828182845905, 10) + u" (also #e)");
  t.append(u"\r\n  to_deg\t= " + fixedText(57.2957795130823, 10) + u" (also #to_rad)");
  t.append(u"\r\n  to_rad\t=" + fixedText(0.017453292519943302, 10) + u" (also #to_deg)");
  t.append(u"\r\n    others can be defined with Command 'Var' (es. Var = g ; 9.81)");
  t.append(u"\r\n");
  t.append(u"\r\nSupported Operators:");
  t.append(u"\r\n  ( \t= left bracket");
  t.append(u"\r\n  ) \t= right bracket");
  t.append(u"\r\n  + \t= plus operator");
  t.append(u"\r\n  - \t= minus operator");
  t.append(u"\r\n  * \t= multiply operator");
  t.append(u"\r\n  / \t= division operator");
  t.append(u"\r\n  ^ \t= power operator");
  t.append(u"\r\n  & \t= hexadecimal number (es. &FF = 256) <ver. 0.0.4.6>");
  t.append(u"\r\n  ! \t= binary number (es. !100 = 4) <ver. 0.0.4.6>");
  t.append(u"\r\n");
  t.append(u"\r\nSupported Logical Operators:\r\n and eqv imp mod not or xor \r\n");
  t.append(u"\r\nSupported Functions:\r\n min max avg sum sum2 prod prod2 stddev count geom_mean median mean \r\n");
  t.append(u"\r\nSupported Matrix Operators:\r\n I=Inverse, T=Traspost, D=Diagonal");
  t.append(u"\r\n(es. Expr = det([mA]), StoExpr([mAI]) = [mA]I)\r\n");
  t.append(u"\r\nSupported Trig Functions:");
  t.append(u"\r\n  cos(x)\t= cosine of x");
  t.append(u"\r\n  sin(x)\t= sine of x");
  t.append(u"\r\n  tg(x)\t= tangent of x (also tan(x))");
  t.append(u"\r\n  ctg(x)\t= cotangent of x (also cotan(x))");
  t.append(u"\r\n    by default argument is in radiants. use to_rad and to_deg ");
  t.append(u"\r\n    constants above for convertions between types.");
  t.append(u"\r\n");
  t.append(u"\r\n  abs(x)\t= absolute value of x = |x|");
  t.append(u"\r\n  sgn(x)\t= sign of x (+/-1)");
  t.append(u"\r\n  ln(x)\t= natural logaritm of x (also log(x))");
  t.append(u"\r\n  log10(x)\t= base 10 logaritm of x");
  t.append(u"\r\n  sqrt(x)\t= square root of x");
  t.append(u"\r\n  exp(x)\t= power of natural number by x (e^x)");
  t.append(u"\r\n  sh(x)\t= sin hyperbolic of x (also sinh(x))");
  t.append(u"\r\n  ch(x)\t= cos hyperbolic of x (also cosh(x))");
  t.append(u"\r\n  th(x)\t= tangent hyperbolic of x (also tanh(x) and tgh(x))");
  t.append(u"\r\n  cth(x)\t= cotangent hyperbolic of x (also cotanh(x) and ctgh(x))");
  t.append(u"\r\n  arcsin(x)\t= arcsin of x");
  t.append(u"\r\n  arccos(x)\t= arccos of x");
  t.append(u"\r\n  arctan(x)\t= arctangent of x (also arctg(x))");
  t.append(u"\r\n  arcctg(x)\t= arccotangent of x (also arccotan(x))");
  return t;
}

}  // namespace quadrel
