// Integration: the three rules against closed forms, the order of their error
// when n doubles, the result cell, the failure codes and bad input.
#include <cmath>
#include <limits>

#include "core/numeric/integration.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class IntegrationTest : public EngineTest {
 protected:
  // The integral, with the code the call gave and the evaluator code after.
  struct Run {
    int32_t answer;
    int32_t code;
    double value;
  };
  Run run(TextView formula, double a, double b, int32_t n, int32_t method, TextView variable = u"x") {
    double v = testing_support::kUntouched;
    int32_t answer = integrate(e, formula, a, b, n, method, variable, &v);
    return {answer, e.errors.code, v};
  }
};

struct ClosedForm {
  const char16_t* formula;
  double a, b, exact;
  int32_t simpsonN;  // coarse n for Simpson: before single-precision noise, past the early terms
};

// Built-ins compute in single precision, so the smooth integrands are judged
// against float-sized tolerances; polynomials are exact double arithmetic.
const ClosedForm kClosedForms[] = {
    {u"x^3-2*x+1", -1, 2, 3.75, 4},
    {u"sin(x)", 0, 1, 1 - std::cos(1.0), 4},
    {u"exp(x)", 0, 1, std::exp(1.0) - 1, 4},
    {u"1/(1+x^2)", 0, 2, std::atan(2.0), 16},
};

TEST_F(IntegrationTest, SimpsonIsExactForCubics) {
  for (const char16_t* f : {u"1", u"x", u"x^2", u"4*x^3-3*x^2+2*x-1"}) {
    const double exact = f == std::u16string_view(u"1")     ? 2.0
                         : f == std::u16string_view(u"x")   ? 0.0
                         : f == std::u16string_view(u"x^2") ? 2.0 / 3
                                                            : -4.0;
    Run r = run(f, -1, 1, 4, kSimpson);
    EXPECT_EQ(r.code, -1) << toUtf8(f);
    EXPECT_NEAR(r.value, exact, 1e-12) << toUtf8(f);
  }
}

// Error ratio when n doubles: 4 for midpoint and trapezoid, 16 for Simpson.
TEST_F(IntegrationTest, ErrorFallsWithTheRuleOrder) {
  struct Rule {
    int32_t method;
    double ratio;
    int32_t n;
  };
  const Rule rules[] = {{kMidpoint, 4, 8}, {kTrapezoid, 4, 8}, {kSimpson, 16, 0}};
  for (const ClosedForm& c : kClosedForms) {
    for (Rule rule : rules) {
      if (rule.method == kSimpson)
        rule.n = c.simpsonN;
      const double coarse = run(c.formula, c.a, c.b, rule.n, rule.method).value - c.exact;
      const double fine = run(c.formula, c.a, c.b, rule.n * 2, rule.method).value - c.exact;
      if (std::fabs(coarse) < 1e-12) {
        EXPECT_NEAR(fine, 0, 1e-12) << toUtf8(c.formula) << " method " << rule.method;
        continue;
      }
      const double ratio = coarse / fine;
      EXPECT_NEAR(ratio, rule.ratio, rule.ratio * 0.15) << toUtf8(c.formula) << " method " << rule.method;
      // Close at a moderate n (Simpson to about the built-ins' precision).
      const double tolerance = rule.method == kSimpson ? 2e-5 : 5e-3;
      EXPECT_NEAR(run(c.formula, c.a, c.b, 64, rule.method).value, c.exact, tolerance) << toUtf8(c.formula);
    }
  }
}

TEST_F(IntegrationTest, TheThreeRulesOnXSquaredWithTwoIntervals) {
  EXPECT_EQ(run(u"x^2", 0, 1, 2, kMidpoint).value, 0.3125);
  EXPECT_EQ(run(u"x^2", 0, 1, 2, kTrapezoid).value, 0.375);
  EXPECT_NEAR(run(u"x^2", 0, 1, 2, kSimpson).value, 1.0 / 3, 1e-15);
  // b < a: a negative step and the signed integral.
  EXPECT_NEAR(run(u"x^2", 1, 0, 2, kSimpson).value, -1.0 / 3, 1e-15);
}

TEST_F(IntegrationTest, FailureCodes) {
  Run r = run(u"x", 0, 1, 3, kSimpson);
  EXPECT_EQ(r.answer, kErrSimpsonOddCount);
  EXPECT_EQ(r.code, kErrSimpsonOddCount);
  EXPECT_EQ(r.value, testing_support::kUntouched);

  r = run(u"x", 0, 1, 4, 5);
  EXPECT_EQ(r.answer, kErrIntegrationMethod);
  EXPECT_EQ(r.value, 0.0);

  EXPECT_EQ(integrate(e, u"x", 0, 1, 4, kMidpoint, u"x", nullptr), kErrNoValue);
  EXPECT_EQ(e.errors.code, kErrNoValue);
}

TEST_F(IntegrationTest, MessagesFollowTheShowLevel) {
  double v = 0;
  integrate(e, u"x", 0, 1, 3, kSimpson, u"x", nullptr);
  integrate(e, u"x", 0, 1, 3, kSimpson, u"x", &v);
  EXPECT_TRUE(platform.boxes.empty());
  e.messages.showLevel = 1;
  integrate(e, u"x", 0, 1, 4, kMidpoint, u"x", nullptr);
  integrate(e, u"x", 0, 1, 3, kSimpson, u"x", &v);
  ASSERT_EQ(platform.boxes.size(), 2u);
  EXPECT_EQ(platform.boxes[0].caption, u"RaRarevo: Integrate");
  EXPECT_EQ(platform.boxes[0].text, u"Input parameter error: Returned Value not defined");
  EXPECT_EQ(platform.boxes[1].caption, u"Solver");
  EXPECT_EQ(platform.boxes[1].text, u"Simpson's Rule requires that number of subintervals N be even.");
}

// Mended: the variable is replaced as a whole identifier only.
TEST_F(IntegrationTest, VariableIsAWholeIdentifier) {
  EXPECT_NEAR(run(u"exp(x)", 0, 1, 64, kSimpson).value, std::exp(1.0) - 1, 1e-5);
  setVar(u"xmax", u"2");
  Run r = run(u"x*xmax+max(x;1)", 0, 1, 2, kTrapezoid);
  EXPECT_EQ(r.code, -1);
  EXPECT_EQ(r.value, 2.0);  // 2x + max(x; 1) = 2x + 1 on [0, 1]
  // The variable is lower-cased, the formula is not.
  EXPECT_EQ(run(u"t*2", 0, 1, 2, kTrapezoid, u"T").value, 1.0);
}

// Mended: n below 1 is refused before anything is evaluated.
TEST_F(IntegrationTest, CountBelowOneIsRefused) {
  for (int32_t n : {0, -1, std::numeric_limits<int32_t>::min(), kMaxSubintervals + 1}) {
    const uint64_t before = e.eval.evaluations;
    Run r = run(u"x", 0, 1, n, kMidpoint);
    EXPECT_EQ(r.answer, kErrInvalidArgument) << n;
    EXPECT_EQ(r.value, testing_support::kUntouched);
    EXPECT_EQ(e.eval.evaluations, before);
  }
}

TEST_F(IntegrationTest, FailingPointsKeepTheLastValueOfTheirKind) {
  // 1/x fails at 0 only: the midpoint never touches it.
  EXPECT_EQ(run(u"1/x", -1, 1, 2, kMidpoint).code, -1);
  // Trapezoid: f(a) fails (0), f(b) = 1; the inner sum stops at x = 0.
  Run r = run(u"1/x", 0, 1, 2, kTrapezoid);
  EXPECT_EQ(r.value, 0.5 * (0.5 + 2));
  r = run(u"1/x", -1, 1, 2, kTrapezoid);
  EXPECT_EQ(r.value, 1.0 * ((-1 + 1) / 2.0));
  EXPECT_EQ(r.code, kErrDivisionByZero);
}

TEST_F(IntegrationTest, BadBoundsGiveAValueNotAHang) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
  for (double a : {nan, inf, -inf, 0.0})
    for (int32_t method : {kMidpoint, kTrapezoid, kSimpson}) {
      Run r = run(u"x^2", a, a == 0.0 ? 0.0 : 1.0, 2, method);
      EXPECT_NE(r.value, testing_support::kUntouched);
    }
  EXPECT_EQ(run(u"x^2", 3, 3, 4, kSimpson).value, 0.0);
}

TEST_F(IntegrationTest, CellOfDIntegrate) {
  EXPECT_EQ(integrateToCell(e, u"x", 0, 2, 2, kTrapezoid, u"x"), 2.0);
  // A refused call leaves the cell alone.
  EXPECT_EQ(integrateToCell(e, u"x", 0, 1, 3, kSimpson, u"x"), 2.0);
  EXPECT_EQ(integrateToCell(e, u"x", 0, 1, 0, kSimpson, u"x"), 2.0);
  EXPECT_EQ(integrateToCell(e, u"x", 0, 1, 1, 7, u"x"), 0.0);
}

}  // namespace
}  // namespace quadrel
