// Symbolic differentiation: the answers' texts, every rule against a central
// difference, the grammar, the node limit, the trace and the list text.
#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "core/diff/diff_parser.h"
#include "core/diff/diff_rules.h"
#include "core/diff/diff_simplify.h"
#include "core/diff/diff_trace.h"
#include "core/diff/diff_writer.h"
#include "core/diff/differentiate.h"
#include "core/script/executor.h"
#include "core/script/functions_report.h"
#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::repeat;

class DiffTest : public EngineTest {
 protected:
  // The derivative's text; fails the test when differentiation fails.
  Text derivative(TextView formula, TextView variable = u"x") {
    Text answer;
    EXPECT_TRUE(differentiate(e, formula, variable, answer)) << toUtf8(formula) << " code " << e.errors.code;
    EXPECT_EQ(e.errors.code, kNoError);
    EXPECT_EQ(e.diff.errorFlag, 0);
    return answer;
  }

  // The evaluator code a failing differentiation leaves.
  int32_t failureCode(TextView formula, TextView variable = u"x") {
    Text answer;
    EXPECT_FALSE(differentiate(e, formula, variable, answer)) << toUtf8(formula) << " gave " << toUtf8(answer);
    return e.errors.code;
  }

  // Value of a formula in the module's own language, in double precision.
  double valueAt(TextView formula, double x) {
    resetDiffNodes(e);
    const int32_t root = parseDiffTree(e, formula, kMaxDerivativeNesting);
    EXPECT_NE(root, 0) << toUtf8(formula);
    return treeValue(root, x);
  }

  double treeValue(int32_t node, double x) {
    const DiffNode& n = e.diff.nodes[size_t(node)];
    switch (n.opCode) {
      case kOpAdd: return treeValue(n.l, x) + treeValue(n.r, x);
      case kOpSub: return treeValue(n.l, x) - treeValue(n.r, x);
      case kOpMul: return treeValue(n.l, x) * treeValue(n.r, x);
      case kOpDiv: return treeValue(n.l, x) / treeValue(n.r, x);
      case kOpNumber: return diffNumberValue(n.con);
      case kOpVariable: return n.con == u"x" ? x : (n.con == u"n" ? 2.5 : 0.75);
      case kOpNegate: return -treeValue(n.l, x);
      case kOpPower: return std::pow(treeValue(n.l, x), treeValue(n.r, x));
      // The module folds logarithms in single precision; exact here.
      case kOpLn: return std::log(treeValue(n.l, x));
      case kOpLog10: return std::log10(treeValue(n.l, x));
      default: return diffFunctionValue(n.opCode, treeValue(n.l, x));
    }
  }
};

// ---- answers ------------------------------------------------------------

struct Golden {
  const char16_t* formula;
  const char16_t* answer;
};

TEST_F(DiffTest, AnswersHaveTheDocumentedTexts) {
  const Golden cases[] = {
      {u"x^3+2*x", u"3*x^2+2"},
      {u"sin(2*x)", u"cos(2*x)*2"},
      {u"x^0.5", u"0.5*x^(-0.5)"},
      {u"5", u"0"},
      {u"x", u"1"},
      {u"-x", u"(-1)"},
      {u"ln(x)", u"1/x"},
      {u"exp(x)", u"exp(x)"},
      {u"log10(x)", u"1/x/2.302585"},
      {u"X*2", u"0"},
      {u"0/x", u"0"},
      {u"x^3", u"3*x^2"},
      {u"cos(x)", u"(-sin(x))"},
      {u"tan(x)", u"1/(cos(x))^2"},
      {u"sinh(x)", u"ch(x)"},
      {u"abs(x)", u"sgn(x)"},
      {u"y*x", u"y"},
      {u"a-(b+c)*x", u"(-(b+c))"},
      {u"x^n", u"n*x^n/x"},
      {u"x^x", u"x*x^x/x+x^x*ln(x)"},
      // Repaired folds: no "nan", no error, the decimals a small value needs.
      {u"sqrt(0)*x", u"0"},
      {u"arcsin(1)*x", u"1.5707963268"},
      {u"(-2)^2*x", u"4"},
      {u"-2^2*x", u"(-4)"},
      {u"0^0*x", u"1"},
      {u"10^5*x", u"100000"},
      {u"1.5E-11*x", u"0.000000000015"},
      {u"2,5*x", u"2.5"},
      {u"ln(0)*x", u"ln(0)"},
      {u"-(0)*x", u"0"},
      {u"0^(-1)*x", u"0^(-1)"},
      {u"(-8)^0.5*x", u"(-8)^0.5"},
      {u"(-2)^3*x", u"(-8)"},
  };
  for (const Golden& c : cases) EXPECT_EQ(derivative(c.formula), c.answer) << toUtf8(c.formula);
}

TEST_F(DiffTest, FullFormOfThePowerRuleIsTheDocumentedText) {
  resetDiffNodes(e);
  const int32_t root = parseDiffTree(e, u"x^3", kMaxFormulaNesting);
  Text text;
  appendDerivative(e.diff, root, u"x", text);
  EXPECT_EQ(text, u"((3)*(x)^(2)*(1))+((x)^(3)*(ln(x)*0))");
}

TEST_F(DiffTest, MinimalFormKeepsOnlyTheNeededBrackets) {
  const Golden cases[] = {
      {u"((a)-(((b)+(c))))", u"a-(b+c)"}, {u"((a)/(((b)*(c))))", u"a/(b*c)"},
      {u"(((-2))*(x))", u"(-2)*x"},       {u"-3", u"(-3)"},
      {u"(a/b)/(c/d)", u"a/b/(c/d)"},     {u"(a+b)^2", u"(a+b)^2"},
      {u"-(a+b)", u"(-(a+b))"},
  };
  for (const Golden& c : cases) {
    resetDiffNodes(e);
    const int32_t root = parseDiffTree(e, c.formula, kMaxFormulaNesting);
    Text text;
    appendMinimalForm(e.diff, root, text);
    EXPECT_EQ(text, c.answer) << toUtf8(c.formula);
  }
}

// ---- values -------------------------------------------------------------

TEST_F(DiffTest, EveryRuleAgreesWithACentralDifference) {
  const char16_t* formulas[] = {
      u"x^3+2*x",      u"x*x*x-4/x",      u"(x+1)/(x-2)",   u"-x^2",          u"cos(x)",
      u"sin(3*x)",     u"tg(x)",          u"ctg(x)",        u"abs(x-3)",      u"sgn(x)*x",
      u"sqrt(x)",      u"ln(x^2)",        u"exp(2*x)",      u"arcsin(x/4)",   u"arccos(x/4)",
      u"arctg(x)",     u"arcctg(x)",      u"sh(x)",         u"ch(x)",         u"th(x)",
      u"cth(x)",       u"log10(x)",       u"x^n",           u"x^x",           u"x^(-2)",
      u"2^x",          u"sin(cos(x^2))",  u"exp(sin(x))/x", u"ln(sqrt(x+1))", u"x^0.5*ln(x)",
      u"-(x-1)*(x+1)", u"heaviside(x)*x", u"a*x^2",
  };
  const double points[] = {0.3, 1.1, 2.7};
  for (const char16_t* f : formulas) {
    const Text d = derivative(f);
    for (double x : points) {
      const double h = 1e-6;
      const double expected = (valueAt(f, x + h) - valueAt(f, x - h)) / (2 * h);
      const double got = valueAt(d, x);
      EXPECT_NEAR(got, expected, 1e-5 * std::max(1.0, std::fabs(expected)))
          << toUtf8(f) << " -> " << toUtf8(d) << " at " << x;
    }
  }
}

TEST_F(DiffTest, MinimalFormReadsBackToTheValueOfTheFullForm) {
  const char16_t* formulas[] = {u"(x+1)/(x-2)/(x+3)", u"x-(x-(x-x^2))", u"-(x*(-1)+2)", u"2/(x*x)/x",
                                u"(x^2)^3",           u"-x^3*(-2)",     u"x/(-2)"};
  for (const char16_t* f : formulas) {
    Text full;
    resetDiffNodes(e);
    const int32_t root = parseDiffTree(e, f, kMaxFormulaNesting);
    if (root == 0) {
      ADD_FAILURE() << "does not parse: " << toUtf8(f);
      continue;
    }
    appendDerivative(e.diff, root, u"x", full);
    const Text minimal = derivative(f);
    for (double x : {0.4, 1.7}) EXPECT_NEAR(valueAt(minimal, x), valueAt(full, x), 1e-9) << toUtf8(f);
  }
}

TEST_F(DiffTest, TheEvaluatorReadsEveryNameADerivativeUses) {
  const char16_t* formulas[] = {u"tg(x)",          u"ctg(x)",    u"arctg(x)",   u"arcctg(x)", u"sh(x)",
                                u"ch(x)*th(x)",    u"cth(x)",    u"x*tgh(x)",   u"x*ctgh(x)", u"x*h(x)",
                                u"x*heaviside(x)", u"x*sign(x)", u"x*arctan(x)"};
  setVar(u"x", u"0.7");
  for (const char16_t* f : formulas) {
    const Text d = derivative(f);
    EXPECT_NEAR(value(d), valueAt(d, 0.7), 1e-4) << toUtf8(d);
  }
}

TEST_F(DiffTest, EvaluatorAliasesHaveTheMeaningOfTheModule) {
  struct Pair {
    const char16_t *alias, *same;
  };
  const Pair pairs[] = {{u"tg(0.5)", u"tan(0.5)"},      {u"ctg(0.5)", u"cotan(0.5)"},    {u"arctg(2)", u"atan(2)"},
                        {u"arctan(2)", u"atan(2)"},     {u"sh(0.5)", u"sinh(0.5)"},      {u"ch(0.5)", u"cosh(0.5)"},
                        {u"th(0.5)", u"tanh(0.5)"},     {u"tgh(0.5)", u"tanh(0.5)"},     {u"cth(0.5)", u"cotanh(0.5)"},
                        {u"ctgh(0.5)", u"cotanh(0.5)"}, {u"sign(-3)", u"sgn(-3)"},       {u"h(-1)", u"0"},
                        {u"heaviside(0)", u"1"},        {u"arcctg(1)+atan(1)", u"#pi/2"}};
  for (const Pair& p : pairs) EXPECT_EQ(value(p.alias), value(p.same)) << toUtf8(p.alias);
}

// ---- grammar and failures ------------------------------------------------

TEST_F(DiffTest, AcceptedForms) {
  for (const char16_t* f : {u"-1+x", u"(-2)^x", u"x^(-2)", u"x^(3)", u"x^n", u"1.5E-3*x", u"+x", u"x^2^3", u"  x * 2 ",
                            u"sin(-x)", u"h(x)", u"_a*x", u"2,5e+1*x"})
    derivative(f);
}

struct Refused {
  const char16_t* formula;
  int32_t code;
};

TEST_F(DiffTest, RefusedFormsGiveTheirCodes) {
  const Refused cases[] = {
      {u"", 7},       {u"   ", 7},  {u"x/0", 8},  {u"x^(n+1)", 6},  {u"2*-x", 6}, {u"x+-1", 6},     {u"sin x", 6},
      {u"Sin(x)", 6}, {u"1..5", 6}, {u"2e", 6},   {u"x)", 6},       {u"(x", 6},   {u"x^2;junk", 6}, {u"x^-2", 6},
      {u"x^(2", 6},   {u"x y", 6},  {u".5*x", 6}, {u"x^(-2^2)", 6}, {u"x$", 6},   {u"()", 6},
  };
  for (const Refused& c : cases) {
    EXPECT_EQ(failureCode(c.formula), c.code) << toUtf8(c.formula);
    EXPECT_EQ(e.diff.errorFlag, c.code == 7 ? 7 : 1) << toUtf8(c.formula);
  }
}

TEST_F(DiffTest, DivisionByZeroStillGivesTheText) {
  Text answer;
  EXPECT_FALSE(differentiate(e, u"x/0", u"x", answer));
  EXPECT_EQ(e.errors.code, kErrDivisionByZero);
  EXPECT_FALSE(answer.empty());
}

TEST_F(DiffTest, TreeShapes) {
  resetDiffNodes(e);
  EXPECT_EQ(parseDiffTree(e, u"x+2", kMaxFormulaNesting), 3);
  EXPECT_EQ(e.diff.index, 3);
  EXPECT_EQ(e.diff.nodes[3].opCode, kOpAdd);

  resetDiffNodes(e);
  int32_t root = parseDiffTree(e, u"-x^2", kMaxFormulaNesting);
  ASSERT_NE(root, 0);
  EXPECT_EQ(e.diff.nodes[size_t(root)].opCode, kOpNegate);
  EXPECT_EQ(e.diff.nodes[size_t(e.diff.nodes[size_t(root)].l)].opCode, kOpPower);

  resetDiffNodes(e);
  root = parseDiffTree(e, u"(-2)^x", kMaxFormulaNesting);
  ASSERT_NE(root, 0);
  EXPECT_EQ(e.diff.nodes[size_t(e.diff.nodes[size_t(root)].l)].con, u"-2");

  // A function node comes before the nodes of its argument.
  resetDiffNodes(e);
  EXPECT_EQ(parseDiffTree(e, u"sin(x)", kMaxFormulaNesting), 1);
}

TEST_F(DiffTest, BracketsNestedTooDeepAreRefused) {
  EXPECT_EQ(derivative(repeat(u"(", 400) + u"x" + repeat(u")", 400)), u"1");
  EXPECT_EQ(failureCode(repeat(u"(", 600) + u"x" + repeat(u")", 600)), 6);
  EXPECT_EQ(failureCode(repeat(u"sin(", 100000)), 6);
}

// ---- the node table ------------------------------------------------------

TEST_F(DiffTest, NodeCountOfTheRulesMatchesTheParse) {
  const char16_t* formulas[] = {u"x^3+2*x",           u"tg(x)/ctg(x)",           u"-arcsin(x)*arccos(x)",
                                u"log10(x^n)",        u"arctg(x)-arcctg(x)",     u"sh(x)*ch(x)/th(x)^2",
                                u"cth(sqrt(abs(x)))", u"exp(ln(x))*sgn(x)*h(x)", u"x^x^2",
                                u"(-2)^x*(-3)"};
  for (const char16_t* f : formulas) {
    resetDiffNodes(e);
    const int32_t root = parseDiffTree(e, f, kMaxFormulaNesting);
    ASSERT_NE(root, 0) << toUtf8(f);
    const int32_t before = e.diff.index;
    const int64_t predicted = derivativeNodeCount(e.diff, root, kMaxDiffNodes);
    Text full;
    appendDerivative(e.diff, root, u"x", full);
    ASSERT_NE(parseDiffTree(e, full, kMaxDerivativeNesting), 0) << toUtf8(full);
    EXPECT_EQ(predicted, e.diff.index - before) << toUtf8(f);
  }
}

TEST_F(DiffTest, TheNodeLimit) {
  // 1000 terms: 1999 nodes and as many for the derivative.
  EXPECT_EQ(derivative(u"x" + repeat(u"+x", 999)), u"1000");
  // Beyond 5000 nodes the formula itself is refused.
  EXPECT_EQ(failureCode(u"x" + repeat(u"+x", 2600)), 6);
  EXPECT_EQ(e.diff.index, kMaxDiffNodes);
  // A derivative that cannot fit is refused before its text is written.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(failureCode(u"x" + repeat(u"*x", 2499)), 6);
  // So is one whose text would copy long names too often.
  const Text name = repeat(u"a", 20000);
  EXPECT_EQ(failureCode(name + repeat(u"*" + name, 60)), 6);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// ---- trace and list ------------------------------------------------------

TEST_F(DiffTest, TraceFileHasNumberedLinesAndErrors) {
  testing_support::TempFolder folder;
  const Text file = folder.file("trace.log");
  EXPECT_EQ(setDiffTrace(e, 1, file), 1);
  derivative(u"x^2");
  failureCode(u"2*-x");
  setDiffTrace(e, 0, u"");
  std::ifstream in(folder.path("trace.log"), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("1: (1)  e_diff, IN_, Formula=x^2\r\n", 0), 0u) << text.substr(0, 200);
  EXPECT_NE(text.find("Error, ERR, (GetSingleOp: Function: Wrong first operand)"), std::string::npos);
  EXPECT_NE(text.find("Nodes Expr., Node=3, l=1, r=2, opCode=31, op=^, con="), std::string::npos);
}

TEST_F(DiffTest, TraceInBoxesAndOff) {
  setDiffTrace(e, 2, u"");
  derivative(u"x");
  ASSERT_FALSE(platform.boxes.empty());
  EXPECT_EQ(platform.boxes[0].text, u"1: (1)  e_diff, IN_, Formula=x");
  const size_t shown = platform.boxes.size();
  setDiffTrace(e, 0, u"");
  derivative(u"x");
  EXPECT_EQ(platform.boxes.size(), shown);
}

TEST_F(DiffTest, ListOfOperatorsAndFunctions) {
  const Text list = diffOperatorsAndFunctions(e);
  EXPECT_EQ(list.rfind(u"Library: oTemar.dll - Version: 0.0.4.9 (build: 66)\r\nSupported Constants:\r\n  PI\t= "
                       u"3.1415926536 (also #PI)",
                       0),
            0u);
  EXPECT_NE(list.find(u"\r\n  to_rad\t=0.0174532925 (also #to_deg)"), Text::npos);
  EXPECT_NE(
      list.find(
          u"\r\nSupported Functions:\r\n min max avg sum sum2 prod prod2 stddev count geom_mean median mean \r\n"),
      Text::npos);
  EXPECT_TRUE(list.ends_with(u"\r\n  arcctg(x)\t= arccotangent of x (also arccotan(x))"));
  EXPECT_LT(list.size(), 2000u);
  EXPECT_EQ(supportedFunctionsReport(e), list + u"\r\n");
}

}  // namespace
}  // namespace quadrel

// ---- script commands -----------------------------------------------------

namespace quadrel {
namespace {

class DiffCommandTest : public EngineTest {
 protected:
  testing_support::TempFolder folder;
  Text result;

  int32_t run(TextView script, bool resultsOnly = false) {
    e.script.settings.dataFolder = folder.text();
    ExecOptions options;
    options.resultsOnly = resultsOnly;
    return execCommands(e, script, result, options);
  }
};

TEST_F(DiffCommandTest, FileVariantReadsAWholeLineAndWritesTheResult) {
  { std::ofstream(folder.path("line.otm")) << "' a comment line\nsDiff(t) = t^2*3\n"; }
  EXPECT_EQ(run(u"sDiffF = line.otm out.txt"), 1000);
  EXPECT_EQ(result, u"Ln 1: f(t) = t^2*3:=>(line.otm out.txt)\r\nf'(t) => 2*t*3");
  std::ifstream in(folder.path("out.txt"), std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), "2*t*3");

  EXPECT_EQ(run(u"sDiffF = line.otm"), 1000);
  EXPECT_EQ(result, u"Ln 1: f(t) = t^2*3:                    \r\nf'(t) => 2*t*3");
}

TEST_F(DiffCommandTest, ResultsOnlyKeepsTheHeaderOfAFailure) {
  EXPECT_EQ(run(u"sDiff(x) = x^2\r\nsDiff(x) = x^", true), 2001);
  EXPECT_EQ(
      result,
      u"f'(x) => 2*x\r\n\r\nLn 2: f(x) = x^:\r\nf'(x) => ===> ERROR n. = 6: Token match / syntax error   (Module: "
      u"eval)");
}

}  // namespace
}  // namespace quadrel
