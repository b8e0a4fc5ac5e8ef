// Sampling a formula over an interval of a variable (e_evals).
#include <cfloat>
#include <cmath>
#include <vector>

#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::occurrences;

constexpr double kSentinel = -777.0;

class Samples : public EngineTest {
 protected:
  std::vector<double> xs, ys, info;

  int32_t sample(TextView formula, double x0, TextView variable, double x1, int32_t n) {
    const size_t points = n >= 0 ? size_t(n) + 1 : 1;
    xs.assign(points, kSentinel);
    ys.assign(points, kSentinel);
    info.assign(5, kSentinel);
    return evaluateSamples(e, formula, x0, variable, x1, n, xs.data(), ys.data(), info.data());
  }
};

TEST_F(Samples, SquareOverASymmetricInterval) {
  EXPECT_EQ(sample(u"x^2", -1, u"x", 1, 4), kNoError);
  EXPECT_EQ(xs, (std::vector<double>{-1, -0.5, 0, 0.5, 1}));
  EXPECT_EQ(ys, (std::vector<double>{1, 0.25, 0, 0.25, 1}));
  EXPECT_EQ(info, (std::vector<double>{0, -1, 0, 1, 1}));
  EXPECT_TRUE(log().empty());
}

TEST_F(Samples, ReplacesWholeIdentifiersOnly) {
  // x is not replaced inside exp, nor X (case matters), nor inside "#" or "&" tokens.
  setVar(u"X", u"10");
  EXPECT_EQ(sample(u"exp(x)+X", 0, u"x", 1, 1), kNoError);
  EXPECT_EQ(ys[0], 1 + 10);
  EXPECT_EQ(ys[1], std::exp(1.0) + 10);

  EXPECT_EQ(sample(u"e+&e+#e*0", 0, u"e", 1, 1), kNoError);
  EXPECT_EQ(ys, (std::vector<double>{0 + 14, 1 + 14}));
  EXPECT_EQ(sample(u"xx+x", 1, u"xx", 2, 1), kErrUndefinedFunction) << "x alone stays a name";
}

TEST_F(Samples, PointsAreFormattedWithTenDecimals) {
  EXPECT_EQ(sample(u"t", 0, u"t", 1, 3), kNoError);
  EXPECT_EQ(xs[1], 1.0 / 3);
  EXPECT_EQ(ys[1], 0.3333333333);
  EXPECT_EQ(ys[2], 0.6666666667);
  // A negative point is bracketed, so it stays one operand.
  EXPECT_EQ(sample(u"-t^2", -3, u"t", -1, 2), kNoError);
  EXPECT_EQ(ys, (std::vector<double>{-9, -4, -1}));
}

TEST_F(Samples, LastPointIsExactlyTheEnd) {
  const struct {
    double x0, x1;
    int32_t n;
  } cases[] = {{0, 1, 3}, {0.1, 0.7, 6}, {0, 0.3, 3}, {-1, 1, 7}, {0, 1, 49}, {1e-3, 2e-3, 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(sample(u"x", c.x0, u"x", c.x1, c.n), kNoError);
    EXPECT_EQ(xs.front(), c.x0);
    EXPECT_EQ(xs.back(), c.x1);
    for (size_t k = 1; k < xs.size(); ++k) EXPECT_LT(xs[k - 1], xs[k]);
    EXPECT_EQ(info[3], c.x1);
  }
  // An empty interval samples its one point n + 1 times.
  EXPECT_EQ(sample(u"x+1", 2, u"x", 2, 3), kNoError);
  EXPECT_EQ(xs, (std::vector<double>(4, 2.0)));
  EXPECT_EQ(ys, (std::vector<double>(4, 3.0)));
}

TEST_F(Samples, FailedPointsRepeatThePreviousValue) {
  // The point x = 0 fails; the last point succeeds, so the run succeeds.
  EXPECT_EQ(sample(u"1/x", -1, u"x", 1, 2), kNoError);
  EXPECT_EQ(xs, (std::vector<double>{-1, 0, 1}));
  EXPECT_EQ(ys, (std::vector<double>{-1, -1, 1}));
  EXPECT_EQ(info, (std::vector<double>{0, -1, -1, 1, 1}));
  EXPECT_EQ(occurrences(log(), u"Procedure : '"), 1u) << "only the failing point's own report";

  // Failures before the first success give 0; a failing last point is the result.
  EXPECT_EQ(sample(u"1/x", 0, u"x", 0, 2), kErrDivisionByZero);
  EXPECT_EQ(ys, (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(info[0], 0);
  EXPECT_EQ(info[1], kSentinel) << "no success, no extremes";
  EXPECT_NE(log().find(u"\r\nProcedure : 'e_evals (Line: "), Text::npos);

  // Failures before the first success leave 0 behind.
  EXPECT_EQ(sample(u"ln(x)", -1, u"x", 1, 2), kNoError);
  EXPECT_EQ(ys, (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(info, (std::vector<double>{0, 1, 0, 1, 0}));

  // x0 above x1: no point at all.
  EXPECT_EQ(sample(u"sqrt(x)", 1, u"x", -1, 2), kNoError);
  EXPECT_EQ(xs, (std::vector<double>(3, kSentinel)));
  EXPECT_EQ(ys, (std::vector<double>(3, kSentinel)));
  EXPECT_EQ(info[0], 0);
  EXPECT_EQ(info[1], kSentinel);
}

TEST_F(Samples, InfiniteIntervalStillSamplesItsStart) {
  // The step is infinite: the start is sampled, the next point is no number.
  EXPECT_EQ(sample(u"2", -HUGE_VAL, u"x", 0, 2), kNoError);
  EXPECT_EQ(xs, (std::vector<double>{-HUGE_VAL, kSentinel, kSentinel}));
  EXPECT_EQ(ys, (std::vector<double>{2, kSentinel, kSentinel}));
  EXPECT_EQ(info, (std::vector<double>{0, -HUGE_VAL, 2, -HUGE_VAL, 2}));
  EXPECT_EQ(sample(u"2", -DBL_MAX, u"x", DBL_MAX, 4), kNoError);
  EXPECT_EQ(xs[0], -DBL_MAX);
  EXPECT_EQ(xs[1], kSentinel);
}

TEST_F(Samples, ExtremesOverNonMonotonicValues) {
  EXPECT_EQ(sample(u"(x-1)^2-3", -1, u"x", 3, 4), kNoError);
  EXPECT_EQ(ys, (std::vector<double>{1, -2, -3, -2, 1}));
  EXPECT_EQ(info, (std::vector<double>{0, -1, -3, 3, 1}));
}

TEST_F(Samples, NonPositiveCountWritesNothing) {
  for (int32_t n : {0, -1, -100}) {
    SCOPED_TRACE(n);
    resetEvaluator(e);
    EXPECT_EQ(sample(u"x", 0, u"x", 1, n), kErrInvalidArgument);
    EXPECT_EQ(xs, (std::vector<double>{kSentinel}));
    EXPECT_EQ(ys, (std::vector<double>{kSentinel}));
    EXPECT_EQ(info, (std::vector<double>(5, kSentinel)));
    EXPECT_EQ(e.errors.code, kErrInvalidArgument);
    EXPECT_NE(log().find(u"Procedure : 'e_evals (Line: "), Text::npos);
  }
}

TEST_F(Samples, UsesFunctionsAndVariablesOfTheStores) {
  setVar(u"k", u"3");
  setFunction(u"g", u"k*2");
  EXPECT_EQ(sample(u"g+x", 0, u"x", 2, 2), kNoError);
  EXPECT_EQ(ys, (std::vector<double>{6, 7, 8}));
  // A stored variable of the sampled name is replaced by the points.
  setVar(u"x", u"100");
  EXPECT_EQ(sample(u"x", 0, u"x", 1, 1), kNoError);
  EXPECT_EQ(ys, (std::vector<double>{0, 1}));
  // Without a variable name the formula is evaluated as it is.
  EXPECT_EQ(sample(u"x", 0, u"", 1, 1), kNoError);
  EXPECT_EQ(ys, (std::vector<double>{100, 100}));
}

TEST_F(Samples, NullOutputsAreAllowed) {
  EXPECT_EQ(evaluateSamples(e, u"x*2", 0, u"x", 1, 4, nullptr, nullptr, nullptr), kNoError);
  EXPECT_EQ(evaluateSamples(e, u"1/0", 0, u"x", 1, 4, nullptr, nullptr, nullptr), kErrDivisionByZero);
}

}  // namespace
}  // namespace quadrel
