// The formula port: the engine's evaluator as matrices, numerical methods
// and plots reach it, and those subsystems working against any port (a
// stand-in that knows one function), which shows they need nothing else of
// the evaluator.
#include <cmath>
#include <vector>

#include "core/matrix/matrix_store_ops.h"
#include "core/numeric/integration.h"
#include "core/plot/sampling.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class FormulaPortTest : public EngineTest {};

TEST_F(FormulaPortTest, TheEnginesPortIsTheEvaluator) {
  struct Row {
    const char16_t* formula;
    bool allowInfinity;
    int32_t error;  // kNoError or the code
    double value;
  };
  const Row rows[] = {
      {u"1+2*3", false, kNoError, 7.0},
      {u"q*2", false, kNoError, 5.0},  // the variable the port set
      {u"10^400", false, kErrDivisionByZero, 0.0},
      {u"10^400", true, kNoError, HUGE_VAL},
      {u"1+", false, kErrParserSyntax, 0.0},
  };
  e.formulas->setVariable(u"q", u"2.5");
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.formula));
    const EvalOutcome o =
        row.allowInfinity ? e.formulas->evaluateAllowingInfinity(row.formula) : e.formulas->evaluate(row.formula);
    EXPECT_EQ(o.error, row.error);
    EXPECT_EQ(e.errors.code, row.error);
    if (o.ok()) {
      EXPECT_EQ(o.value, row.value);
    }
  }
  EXPECT_FALSE(e.formulas->evaluating());

  const std::unique_ptr<PointSampler> s = e.formulas->sampler(u"x^2+q", u"x");
  const SampleOutcome p = s->evaluate(3.0);
  s->finish();
  EXPECT_EQ(p.status, 0);
  EXPECT_TRUE(p.written);
  EXPECT_EQ(p.value, 11.5);
}

// A port that knows one function of x, whatever the formula; it counts the
// points asked for.
class OneFunctionPort final : public FormulaPort {
 public:
  explicit OneFunctionPort(double (*f)(double)) : f_(f) {}
  EvalOutcome evaluate(TextView) override { return EvalOutcome::success(Operand::number(f_(0.0))); }
  EvalOutcome evaluateAllowingInfinity(TextView formula) override { return evaluate(formula); }
  void setVariable(TextView, TextView) override {}
  bool evaluating() const override { return false; }
  std::unique_ptr<PointSampler> sampler(TextView, TextView) override {
    struct Points final : PointSampler {
      OneFunctionPort& port;
      explicit Points(OneFunctionPort& p) : port(p) {}
      SampleOutcome evaluate(double x) override {
        ++port.points;
        return {0, true, port.f_(x)};
      }
      void finish() override {}
    };
    return std::make_unique<Points>(*this);
  }
  int points = 0;

 private:
  double (*f_)(double);
};

TEST_F(FormulaPortTest, IntegrationAndPlotsSampleThroughThePort) {
  auto port = std::make_unique<OneFunctionPort>([](double x) { return 3 * x * x; });
  OneFunctionPort& counted = *port;
  e.formulas = std::move(port);

  double r = 0;
  EXPECT_EQ(integrate(e, u"not read by this port", 0, 2, 4, kSimpson, u"x", &r), 0);
  EXPECT_DOUBLE_EQ(r, 8.0);  // Simpson is exact on a parabola
  EXPECT_GT(counted.points, 0);

  std::vector<double> xs, ys;
  const SampleResult plot = sampleFormula(e, u"ignored", u"x", -1, 1, 4, xs, ys);
  EXPECT_EQ(plot.count, 5);
  EXPECT_EQ(plot.valid, 5);
  EXPECT_EQ(ys, (std::vector<double>{3, 0.75, 0, 0.75, 3}));
  EXPECT_EQ(plot.bounds.yMax, 3.0);
}

TEST_F(FormulaPortTest, StringMatrixFieldsAreEvaluatedThroughThePort) {
  e.formulas = std::make_unique<OneFunctionPort>([](double) { return 42.0; });
  const intptr_t address = setStrMatrix(e, u"m;1;2;anything;else", true, true);
  ASSERT_EQ(e.errors.code, kNoError);
  const MatrixRecord* r = recordOfBuffer(e, reinterpret_cast<const double*>(address));
  ASSERT_NE(r, nullptr);
  const double* data = r->data;
  EXPECT_EQ(data[0], 42.0);
  EXPECT_EQ(data[1], 42.0);
}

}  // namespace
}  // namespace quadrel
