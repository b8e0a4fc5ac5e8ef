// One formula sampled many times: Simpson's rule with n = 1 000 000 over
// x^2*sin(x)+exp(-x) on [0, 10] by text substitution of every abscissa, by
// the compiled form, by muparser re-parsing the text with the number pasted
// in, and by muparser compiled once; and e_evals over 100 001 points.
//
//   cmake --preset bench && cmake --build build/bench -j2 --target quadrel_numeric_bench
//   build/bench/bin/quadrel_numeric_bench
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/eval/compiled_formula.h"
#include "core/eval/evaluator.h"
#include "core/numeric/integration.h"
#include "platform/headless/headless_platform.h"

namespace {

using namespace quadrel;

constexpr int32_t kSimpsonN = 1000000;
constexpr double kA = 0.0, kB = 10.0;
constexpr const char16_t* kFormula = u"x^2*sin(x)+exp(-x)";
constexpr const char* kMuFormula = "x^2*sin(x)+exp(-x)";
// The same with the places of the abscissa marked, for pasting numbers in.
constexpr const char* kMuTemplate = "@^2*sin(@)+exp(-@)";

// Composite Simpson with weights 1, 4, 2, ..., 4, 1 over any point function.
template <class F>
double simpson(F&& f) {
  const double h = (kB - kA) / kSimpsonN;
  double sum = f(kA) + f(kB);
  for (int32_t i = 1; i < kSimpsonN; ++i) sum += (i % 2 ? 4 : 2) * f(kA + i * h);
  return sum * h / 3;
}

void report(benchmark::State& state, double result) {
  state.counters["points_per_s"] =
      benchmark::Counter(double(kSimpsonN + 1) * double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["integral"] = result;
}

void SimpsonTextPath(benchmark::State& state) {
  HeadlessPlatform platform;
  Engine e(platform);
  double r = 0;
  for (auto _ : state) {
    FormulaSampler sampler(e, kFormula, u"x", SamplerPath::TextOnly);
    r = simpson([&](double x) { return sampler.evaluate(x).value; });
    benchmark::DoNotOptimize(r);
  }
  report(state, r);
}

void SimpsonFastPath(benchmark::State& state) {
  HeadlessPlatform platform;
  Engine e(platform);
  double r = 0;
  for (auto _ : state) {
    FormulaSampler sampler(e, kFormula, u"x");
    r = simpson([&](double x) { return sampler.evaluate(x).value; });
    benchmark::DoNotOptimize(r);
  }
  report(state, r);
}

// The library's own entry (Simpson's rule, method 2) on the compiled form.
void SimpsonIntegrateEntry(benchmark::State& state) {
  HeadlessPlatform platform;
  Engine e(platform);
  double r = 0;
  for (auto _ : state) {
    integrate(e, kFormula, kA, kB, kSimpsonN, kSimpson, u"x", &r);
    benchmark::DoNotOptimize(r);
  }
  report(state, r);
}

// muparser given the text with the number pasted in, parsed anew per point.
void SimpsonMuparserReparse(benchmark::State& state) {
  mu::Parser parser;
  double r = 0;
  char number[64];
  for (auto _ : state) {
    r = simpson([&](double x) {
      std::snprintf(number, sizeof number, "(%.10f)", x);
      std::string text;
      for (const char* c = kMuTemplate; *c; ++c) {
        if (*c == '@')
          text += number;
        else
          text += *c;
      }
      parser.SetExpr(text);
      return parser.Eval();
    });
    benchmark::DoNotOptimize(r);
  }
  report(state, r);
}

void SimpsonMuparserCompiled(benchmark::State& state) {
  mu::Parser parser;
  double x = 0;
  parser.DefineVar("x", &x);
  parser.SetExpr(kMuFormula);
  double r = 0;
  for (auto _ : state) {
    r = simpson([&](double at) {
      x = at;
      return parser.Eval();
    });
    benchmark::DoNotOptimize(r);
  }
  report(state, r);
}

void SamplesEvals(benchmark::State& state) {
  HeadlessPlatform platform;
  Engine e(platform);
  constexpr int32_t n = 100000;
  std::vector<double> xs(n + 1), ys(n + 1);
  double info[5];
  for (auto _ : state)
    benchmark::DoNotOptimize(evaluateSamples(e, kFormula, kA, u"x", kB, n, xs.data(), ys.data(), info));
  state.counters["points_per_s"] =
      benchmark::Counter(double(n + 1) * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(SimpsonTextPath)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SimpsonFastPath)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SimpsonIntegrateEntry)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SimpsonMuparserReparse)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SimpsonMuparserCompiled)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SamplesEvals)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
