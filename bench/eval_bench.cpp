// Formula throughput: our one-shot evaluation next to muparser (a fresh
// parser per formula), and the sampling entry over many points.
//
//   cmake --preset bench && cmake --build build/bench -j2 && build/bench/bin/quadrel_bench
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/eval/store_ops.h"
#include "platform/headless/headless_platform.h"

namespace {

using namespace quadrel;

// Values of the variables both sides know.
constexpr double kX = 2.5, kY = 4.0, kRate = 0.005;

struct Formula {
  const char16_t* ours;  // ";" between aggregate arguments, "," decimal comma
  const char* muparser;  // the same arithmetic in muparser's syntax
};

// Typical calculator input. muparser has no hex numbers, no "mod" and no
// integer division, and its comparisons give 1 where ours give -1, so those
// rows are spelled out with its own means.
const Formula kFormulas[] = {
    {u"1+2*3-4/5", "1+2*3-4/5"},
    {u"((1+2)*(3+4))/((5-6)*(7+8))", "((1+2)*(3+4))/((5-6)*(7+8))"},
    {u"(((((1+2)*3)+4)*5)+6)/7", "(((((1+2)*3)+4)*5)+6)/7"},
    {u"2^10+3^0,5", "2^10+3^0.5"},
    {u"-(2+3)*-4+2^-1", "-(2+3)*-4+2^-1"},
    {u"sin(0,5)+cos(0,25)", "sin(0.5)+cos(0.25)"},
    {u"tan(0,3)/sin(0,3)*cos(0,3)", "tan(0.3)/sin(0.3)*cos(0.3)"},
    {u"sqrt(2)*sqrt(8)+sqrt(16,5)", "sqrt(2)*sqrt(8)+sqrt(16.5)"},
    {u"ln(10)+exp(1,5)", "ln(10)+exp(1.5)"},
    {u"log10(12345)+ln(2,718)", "log10(12345)+ln(2.718)"},
    {u"abs(-3,5)*sgn(-2)", "abs(-3.5)*sign(-2)"},
    {u"max(1;2;3)+min(4;5;6)", "max(1,2,3)+min(4,5,6)"},
    {u"avg(1;2;3;4;5)", "avg(1,2,3,4,5)"},
    {u"sum(1,5;2,5;3,5)*2", "sum(1.5,2.5,3.5)*2"},
    {u"x*y+x/y", "x*y+x/y"},
    {u"2*x^2-3*x+1", "2*x^2-3*x+1"},
    {u"sqrt(x^2+y^2)", "sqrt(x^2+y^2)"},
    {u"(x+1)*(x-1)-x^2", "(x+1)*(x-1)-x^2"},
    {u"exp(-x^2/2)/sqrt(2*pi)", "exp(-x^2/2)/sqrt(2*_pi)"},
    {u"rate*(1+rate)^12/((1+rate)^12-1)*10000", "rate*(1+rate)^12/((1+rate)^12-1)*10000"},
    {u"max(x;y;rate)*avg(x;y)", "max(x,y,rate)*avg(x,y)"},
    {u"&FF+&10*2", "255+16*2"},
    {u"(x<y)+(x>=1)+(y=4)", "-(x<y)-(x>=1)-(y==4)"},
    {u"17 mod 5+100 mod 7", "(17-5*rint(17/5-0.5))+(100-7*rint(100/7-0.5))"},
    {u"1000\\7+x*(y-1)", "rint(1000/7-0.5)+x*(y-1)"},
};
constexpr size_t kFormulaCount = sizeof kFormulas / sizeof kFormulas[0];

// An engine as the exports keep it: the variables defined once.
struct OurSide {
  HeadlessPlatform platform;
  Engine engine{platform};
  OurSide() {
    defineEntry(engine, u"x", u"2.5", false);
    defineEntry(engine, u"y", u"4", false);
    defineEntry(engine, u"rate", u"0.005", false);
  }
};

double muparserValue(const char* expr) {
  double x = kX, y = kY, rate = kRate;
  mu::Parser p;
  p.DefineVar("x", &x);
  p.DefineVar("y", &y);
  p.DefineVar("rate", &rate);
  p.SetExpr(expr);
  return p.Eval();
}

// Both sides must compute the same numbers, or the comparison means nothing.
// Our built-in functions work in single precision, hence the tolerance.
bool sidesAgree() {
  OurSide ours;
  bool ok = true;
  for (const Formula& f : kFormulas) {
    const EvalOutcome outcome = evaluate(ours.engine, f.ours, true);
    const double a = outcome.value;
    const int32_t code = outcome.ok() ? 0 : outcome.error;
    double b = 0;
    try {
      b = muparserValue(f.muparser);
    } catch (mu::Parser::exception_type& ex) {
      std::fprintf(stderr, "muparser rejects \"%s\": %s\n", f.muparser, ex.GetMsg().c_str());
      ok = false;
      continue;
    }
    if (code != 0 || !(std::fabs(a - b) <= 1e-5 * std::fabs(b) + 1e-9)) {
      std::fprintf(stderr, "row \"%s\": ours %.10g (code %d), muparser %.10g\n", f.muparser, a, int(code), b);
      ok = false;
    }
  }
  return ok;
}

void BM_Ours_OneShot(benchmark::State& state) {
  OurSide ours;
  for (auto _ : state) {
    for (const Formula& f : kFormulas) {
      const EvalOutcome outcome = evaluate(ours.engine, f.ours, true);
      if (!outcome.isNumber()) {
        state.SkipWithError("formula failed");
        return;
      }
      benchmark::DoNotOptimize(outcome.value);
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kFormulaCount));
}

void BM_Muparser_OneShot(benchmark::State& state) {
  double x = kX, y = kY, rate = kRate;
  for (auto _ : state) {
    for (const Formula& f : kFormulas) {
      mu::Parser p;
      p.SetExpr(f.muparser);
      p.DefineVar("x", &x);
      p.DefineVar("y", &y);
      p.DefineVar("rate", &rate);
      double r = p.Eval();
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kFormulaCount));
}

// e_evals over a typical plotting formula; items are points.
void BM_Ours_Samples(benchmark::State& state) {
  OurSide ours;
  const int32_t n = int32_t(state.range(0));
  std::vector<double> xs(size_t(n) + 1), ys(size_t(n) + 1);
  double info[5];
  for (auto _ : state) {
    const int32_t code =
        evaluateSamples(ours.engine, u"x^2*sin(x)+sqrt(x+1)", 0.0, u"x", 10.0, n, xs.data(), ys.data(), info);
    if (code != -1) {
      state.SkipWithError("sampling failed");
      return;
    }
    benchmark::DoNotOptimize(ys.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * (int64_t(n) + 1));
}

BENCHMARK(BM_Ours_OneShot);
BENCHMARK(BM_Muparser_OneShot);
BENCHMARK(BM_Ours_Samples)->Arg(100000)->Unit(benchmark::kMillisecond);

// Console output as usual; keeps the rates for the closing comparison.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred)
        continue;
      auto it = r.counters.find("items_per_second");
      if (it != r.counters.end())
        rates[r.benchmark_name()] = it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> rates;
};

double rateOf(const RateReporter& r, const std::string& prefix) {
  // The plain run, or else the mean of repetitions.
  for (const char* suffix : {"", "_mean"}) {
    auto it = r.rates.find(prefix + suffix);
    if (it != r.rates.end())
      return it->second;
  }
  return 0.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!sidesAgree()) {
    std::fprintf(stderr, "the two sides disagree; no comparison made\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const double ours = rateOf(reporter, "BM_Ours_OneShot"), mu = rateOf(reporter, "BM_Muparser_OneShot");
  if (ours > 0 && mu > 0)
    std::printf("one-shot formulas/s: ours %.0f, muparser %.0f, ours/muparser %.2fx (%zu formulas)\n", ours, mu,
                ours / mu, kFormulaCount);
  const double points = rateOf(reporter, "BM_Ours_Samples/100000");
  if (points > 0)
    std::printf("e_evals points/s: %.0f\n", points);
  return 0;
}
