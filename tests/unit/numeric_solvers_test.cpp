// Solvers: the start search, Newton roots of polynomials, the text solver,
// polynomial derivatives as text, and the SolveD seam.
#include <cmath>

#include "core/numeric/newton_solvers.h"
#include "core/numeric/poly_derivative.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class SolverTest : public EngineTest {};

TEST(PolynomialDerivative, Examples) {
  struct Case {
    const char16_t *polynomial, *variable, *derivative;
  };
  const Case cases[] = {
      {u"x^3-2x+5", u"x", u"3*x^2 - 2"}, {u"-x^2", u"x", u" - 2*x"},    {u"5", u"x", u""},
      {u"X^2 + 3*X", u"X", u"2*x + 3"},  {u"2.5x^3", u"x", u"7.5*x^2"}, {u"x^-2", u"x", u" - 2*x^-3"},
      {u"4t^1+t", u"t", u"4 + 1"},       {u"x^0", u"x", u"0*x^-1"},     {u"", u"x", u""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(polynomialDerivative(c.polynomial, c.variable), c.derivative) << toUtf8(c.polynomial);
}

TEST_F(SolverTest, NewtonRootsOfPolynomials) {
  struct Case {
    const char16_t* polynomial;
    double root;
  };
  const Case cases[] = {
      {u"x^2-4", 2},  {u"x^2-2", std::sqrt(2.0)}, {u"x^3-2*x-5", 2.0945514815423265},
      {u"x^3-27", 3}, {u"2*x^2-50", 5},           {u"x-7", 7},
  };
  for (const Case& c : cases) {
    const double root = solvePolynomial(e, c.polynomial, u"x");
    EXPECT_NEAR(root, c.root, 1e-9) << toUtf8(c.polynomial);
    EXPECT_EQ(e.errors.code, -1) << toUtf8(c.polynomial);
    // The text solver reaches the same root, to its ten decimals.
    EXPECT_NEAR(leadingNumber(solvePolynomialText(e, c.polynomial, u"x", 30)), c.root, 2e-10);
  }
}

TEST_F(SolverTest, StartSearch) {
  // |f(1)| = 3 stops the search at 2, and Newton stays there.
  EXPECT_EQ(startValue(e, u"x^2-4", u"x"), 2.0);
  EXPECT_EQ(solvePolynomial(e, u"x^2-4", u"x"), 2.0);
  // |f(0)| <= 3 gives 1.
  double root = 0;
  EXPECT_EQ(newtonStart(e, u"x+1", u"x", &root), -1);
  EXPECT_EQ(root, 1.0);
  EXPECT_EQ(newtonStart(e, u"x", u"x", nullptr), 5);
  // Never within 3 of zero: the search ends after its 200 steps.
  EXPECT_EQ(startValue(e, u"x^2+10", u"x"), 1.0);
  EXPECT_EQ(startValueText(e, u"x^2-4", u"x", 200), u"2");
  // The text search compares the integer part of |f|: |f(0)| = 3.5 stops it.
  EXPECT_EQ(startValueText(e, u"x-3,5", u"x", 200), u"1");
  EXPECT_EQ(startValue(e, u"x-3,5", u"x"), 2.0);  // |f(1)| = 2.5
}

TEST_F(SolverTest, NewtonStepsAreReportedOnTheMessageChannel) {
  e.messages.mode = 4;  // kept in the message log
  solvePolynomial(e, u"x^2-4", u"x");
  EXPECT_EQ(testing_support::occurrences(e.messages.log, u"\r\n-1"), 40u);
  EXPECT_NE(e.messages.log.find(u"\r\n1, 2.0000000000"), Text::npos);
  EXPECT_NE(e.messages.log.find(u"\r\n20, 2.0000000000"), Text::npos);
}

// Mended: a zero derivative steps x - f; a step count below 1 counts as 1.
TEST_F(SolverTest, TextSolverWithZeroDerivative) {
  // 5 has the derivative text "", which evaluates to nothing (the last value is
  // not kept by de_eval: the code comes back as the value); x^0 + 2 has 0.
  EXPECT_EQ(solvePolynomialText(e, u"x^0+2", u"x", 1), u"-2.0000000000");
  EXPECT_EQ(solvePolynomialText(e, u"x^0+2", u"x", -5), u"-2.0000000000");
}

TEST_F(SolverTest, FailuresDoNotStopTheSolvers) {
  // An undefined name fails every evaluation; the loops still end.
  solvePolynomial(e, u"x^2+q*x", u"x");
  EXPECT_EQ(e.errors.code, kErrUndefinedFunction);
  startValueText(e, u"1/0", u"x", 2147483647);
}

TEST_F(SolverTest, SolveWithTheDifferentiator) {
  struct Case {
    const char16_t* formula;
    double root;  // NaN: the differentiation fails, nothing is stored
  };
  const Case cases[] = {
      {u"x^2-10", std::sqrt(10.0)},
      {u"exp(x)-3", std::log(3.0)},
      {u"x^3-2*x-5", 2.0945514815423265},
      {u"x^2;junk", std::nan("")},
  };
  for (const Case& c : cases) {
    double root = 7;
    const int32_t code = solveByDifferentiation(e, c.formula, u"x", &root);
    EXPECT_EQ(code, -1) << toUtf8(c.formula);
    if (std::isnan(c.root)) {
      EXPECT_EQ(root, 7.0) << toUtf8(c.formula);
      EXPECT_EQ(e.errors.code, 6);
    } else {
      EXPECT_NEAR(root, c.root, 1e-6) << toUtf8(c.formula);  // built-ins are single precision
    }
  }
}

TEST_F(SolverTest, SolveWithAGivenDerivative) {
  double root = 0;
  const int32_t code = solveWithDerivative(e, u"x^2-10", u"x", &root, [](Text& d) {
    d = u"2*x";
    return true;
  });
  EXPECT_EQ(code, -1);
  EXPECT_NEAR(root, std::sqrt(10.0), 1e-9);
  root = 7;
  EXPECT_EQ(solveWithDerivative(e, u"x^2-10", u"x", &root, [](Text&) { return false; }), -1);
  EXPECT_EQ(root, 7.0);
}

}  // namespace
}  // namespace quadrel

namespace quadrel {
namespace {

TEST(PolynomialDerivative, FractionsAreNumbers) {
  const struct {
    const char16_t *polynomial, *derivative;
  } cases[] = {
      {u"0.5*x^4+x", u"2*x^3 + 1"}, {u"2.5*x^2", u"5*x"},   {u"x^4/2", u"2*x^3"},
      {u"0,5*x^3", u"1.5*x^2"},     {u"x/4", u"0.25"},      {u"-1.5x^2+3", u" - 3*x"},
      {u"x^2.5", u"2.5*x^1.5"},     {u"1/3*x^3", u"1*x^2"}, {u"3*x^2", u"6*x"},
  };
  for (const auto& c : cases) EXPECT_EQ(polynomialDerivative(c.polynomial, u"x"), c.derivative) << toUtf8(c.polynomial);
}

TEST_F(SolverTest, NoRealRootOrAnEqualsSignIsAnError) {
  EXPECT_NEAR(solvePolynomial(e, u"0.5*x^2-2", u"x"), 2, 1e-9);
  EXPECT_EQ(e.errors.code, kNoError);
  solvePolynomial(e, u"x^2+1", u"x");
  EXPECT_EQ(e.errors.code, kErrNoRealRoot);
  EXPECT_NE(log().find(u"no real root found"), Text::npos);
  solvePolynomial(e, u"x^2=1", u"x");
  EXPECT_EQ(e.errors.code, kErrInvalidArgument);
}

}  // namespace
}  // namespace quadrel
