// The formula front-end the evaluator, the differentiator and the sampler
// share: every built-in name the evaluator accepts is differentiated (and the
// derivative agrees with a central difference of the evaluator's own values)
// or refused with a report that names it; names are read in any case by all
// three; the operator table gives the same reading on the text path and the
// compiled sampler.
#include <cmath>
#include <string>

#include "core/diff/diff_state.h"
#include "core/diff/differentiate.h"
#include "core/eval/compiled_formula.h"
#include "core/lang/builtin_names.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class FormulaNamesTest : public EngineTest {
 protected:
  // The evaluator's value of a formula in x at the point x0.
  double valueAt(TextView formula, double x0) {
    setVar(u"x", roundTripText(x0));
    return value(formula);
  }
};

Text upper(TextView name) {
  Text t(name);
  for (char16_t& c : t)
    if (c >= u'a' && c <= u'z')
      c = char16_t(c - 32);
  return t;
}

TEST_F(FormulaNamesTest, EveryFunctionIsDifferentiatedOrRefusedByName) {
  // Points inside the domain of every function that has a rule.
  const double points[] = {0.3, 0.45, 0.7};
  int differentiated = 0, refused = 0;
  for (const BuiltinName& row : builtinNames()) {
    if (isConstantBuiltin(row.builtin))
      continue;
    for (const Text& name : {Text(row.name), upper(row.name)}) {
      const Text formula = name + u"(x)";
      Text answer;
      clearErrorLog(e);
      const bool ok = differentiate(e, formula, u"x", answer);
      if (row.rule == DerivativeRule::None) {
        EXPECT_FALSE(ok) << toUtf8(formula) << " gave " << toUtf8(answer);
        EXPECT_EQ(e.errors.code, kErrTokenMatch) << toUtf8(formula);
        EXPECT_EQ(e.diff.errorFlag, kDiffFailed) << toUtf8(formula);
        EXPECT_NE(log().find(u"No derivative rule for function = " + name + u"\r\n"), Text::npos)
            << toUtf8(formula) << ": " << toUtf8(log());
        ++refused;
        continue;
      }
      ASSERT_TRUE(ok) << toUtf8(formula) << " code " << e.errors.code;
      for (double x0 : points) {
        const double h = 1e-6;
        const double expected = (valueAt(formula, x0 + h) - valueAt(formula, x0 - h)) / (2 * h);
        const double got = valueAt(answer, x0);
        EXPECT_NEAR(got, expected, 1e-5 * std::max(1.0, std::fabs(expected)))
            << toUtf8(formula) << " -> " << toUtf8(answer) << " at " << x0;
      }
      ++differentiated;
    }
  }
  // Both kinds are walked: the table is not empty on either side.
  EXPECT_GE(differentiated, 2 * 30);
  EXPECT_GE(refused, 2 * 15);
}

struct Derivative {
  const char16_t* formula;
  const char16_t* answer;
};

TEST_F(FormulaNamesTest, NamesInAnyCaseAndEveryAliasDifferentiate) {
  const Derivative cases[] = {
      {u"Sin(x)", u"cos(x)"},
      {u"SIN(2*x)", u"cos(2*x)*2"},
      {u"Cos(x)", u"(-sin(x))"},
      {u"LN(x)", u"1/x"},
      {u"atan(x)", u"1/(1+x^2)"},
      {u"atn(x)", u"1/(1+x^2)"},
      {u"arccotan(x)", u"1/(1+x^2)"},
      {u"Sqr(x)", u"0.5/sqrt(x)"},
      {u"x*Exp(x)", u"Exp(x)+exp(x)*x"},
      {u"sin(Cos(x))", u"cos(Cos(x))*((-sin(x)))"},
      // Names of constants and of nothing built in stay variables.
      {u"pi*x", u"pi"},
      {u"deg*x", u"deg"},
      {u"secant*x", u"secant"},
      {u"x_1*x", u"x_1"},
  };
  for (const Derivative& c : cases) {
    Text answer;
    EXPECT_TRUE(differentiate(e, c.formula, u"x", answer)) << toUtf8(c.formula) << " code " << e.errors.code;
    EXPECT_EQ(answer, c.answer) << toUtf8(c.formula);
  }
}

TEST_F(FormulaNamesTest, RefusalNamesTheFunctionAsWritten) {
  const Derivative cases[] = {
      {u"sec(x)", u"sec"},      {u"x*COSEC(x)", u"COSEC"},       {u"ArcSinh(x)+1", u"ArcSinh"},
      {u"sin(int(x))", u"int"}, {u"2*fix(x)^2", u"fix"},         {u"rnd(6)*x", u"rnd"},
      {u"sec*x", u"sec"},       {u"sech(x)+cosech(x)", u"sech"}, {u"arccotanh(x)", u"arccotanh"},
  };
  for (const Derivative& c : cases) {
    Text answer;
    clearErrorLog(e);
    EXPECT_FALSE(differentiate(e, c.formula, u"x", answer)) << toUtf8(c.formula);
    EXPECT_EQ(e.errors.code, kErrTokenMatch) << toUtf8(c.formula);
    const Text report = u"Error in formula.\r\nNo derivative rule for function = " + Text(c.answer) + u"\r\n";
    EXPECT_NE(log().find(report), Text::npos) << toUtf8(c.formula) << ": " << toUtf8(log());
  }
  // Other parse failures keep their one-line report.
  Text answer;
  clearErrorLog(e);
  EXPECT_FALSE(differentiate(e, u"x^(n+1)", u"x", answer));
  EXPECT_EQ(log().find(u"No derivative rule"), Text::npos);
  EXPECT_NE(log().find(u"Error in formula.\r\n"), Text::npos);
}

TEST_F(FormulaNamesTest, EvaluatorReadsEveryTableNameInAnyCase) {
  for (const BuiltinName& row : builtinNames()) {
    if (isConstantBuiltin(row.builtin) || row.builtin == Builtin::Rnd)
      continue;
    const Text lower = Text(row.name) + u"(1.5)";
    const Text shouted = upper(row.name) + u"(1.5)";
    const testing_support::Outcome a = eval(lower), b = eval(shouted);
    EXPECT_NE(a.code, kErrUndefinedFunction) << toUtf8(lower);
    EXPECT_EQ(a.code, b.code) << toUtf8(shouted);
    if (a.code == 0) {
      EXPECT_TRUE(a.value == b.value || (std::isnan(a.value) && std::isnan(b.value))) << toUtf8(shouted);
    }
  }
  EXPECT_EQ(failure(u"secant(1)"), kErrUndefinedFunction);
}

struct Reading {
  const char16_t* formula;
  double value;  // at x = 2
};

// Precedence and associativity of every operator of the table, read the same
// on the text path and by the compiled sampler.
TEST_F(FormulaNamesTest, OperatorTableGivesOneReadingOnBothPaths) {
  const Reading cases[] = {
      {u"2^3^x", 64}, {u"-x^2", -4},       {u"x*3^2", 18},           {u"12/x/3", 2},      {u"7\\x*2", 1},
      {u"7\\x+1", 4}, {u"x+3*4", 14},      {u"10-x-3", 5},           {u"9 mod x*2", 1},   {u"9 mod x+1", 2},
      {u"x+1=3", -1}, {u"x<3 and x>1", 1}, {u"x=2 or x=3 and 0", 1}, {u"x=2 xor 1", 0},   {u"not x=3", -1},
      {u"-x+5", 3},   {u"1+-x", -1},       {u"2*-x^2", -8},          {u"(x+1)*(x-1)", 3}, {u"x>=2=-1", -1},
  };
  for (const Reading& c : cases) {
    setVar(u"x", u"2");
    EXPECT_EQ(value(c.formula), c.value) << toUtf8(c.formula);
    for (SamplerPath path : {SamplerPath::Fast, SamplerPath::TextOnly}) {
      FormulaSampler sampler(e, c.formula, u"x", path);
      const SampleOutcome p = sampler.evaluate(2.0);
      sampler.finish();
      EXPECT_TRUE(p.written) << toUtf8(c.formula);
      EXPECT_EQ(p.value, c.value) << toUtf8(c.formula) << (path == SamplerPath::Fast ? " (compiled)" : " (text)");
    }
  }
}

}  // namespace
}  // namespace quadrel
