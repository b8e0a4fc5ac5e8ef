// Symbolic differentiation from formula text to derivative text: ours next to
// GiNaC (parse, differentiate, print), one formula at a time, side by side.
//
//   cmake --preset bench && cmake --build build/bench -j2 && build/bench/bin/quadrel_diff_bench
#include <benchmark/benchmark.h>
#include <ginac/ginac.h>

#include <sstream>
#include <string>

#include "core/diff/differentiate.h"
#include "core/engine.h"
#include "platform/headless/headless_platform.h"

namespace {

using namespace quadrel;

struct Formula {
  const char* label;
  const char16_t* ours;
  const char* ginac;  // the same formula in GiNaC's syntax
};

// Polynomials, products of functions, quotients and nested chains.
const Formula kFormulas[] = {
    {"cubic", u"x^3+2*x^2-5*x+7", "x^3+2*x^2-5*x+7"},
    {"quintic", u"3*x^5-2*x^4+x^3-x^2+4*x-1", "3*x^5-2*x^4+x^3-x^2+4*x-1"},
    {"sin_cos", u"sin(x)*cos(x)", "sin(x)*cos(x)"},
    {"x2_exp_ln", u"x^2*exp(x)*ln(x)", "x^2*exp(x)*log(x)"},
    {"rational", u"(x^2+1)/(x-1)", "(x^2+1)/(x-1)"},
    {"sin_over_cos", u"sin(x)/(1+cos(x))", "sin(x)/(1+cos(x))"},
    {"exp_sin_x2", u"exp(sin(x^2))", "exp(sin(x^2))"},
    {"ln_cos_sqrt", u"ln(cos(sqrt(x)))", "log(cos(sqrt(x)))"},
    {"sqrt_atan", u"sqrt(1+x^2)*arctg(x)", "sqrt(1+x^2)*atan(x)"},
};

void BM_Ours(benchmark::State& state, const Formula& f) {
  HeadlessPlatform platform;
  Engine e(platform);
  Text answer;
  for (auto _ : state) {
    differentiate(e, f.ours, u"x", answer);
    benchmark::DoNotOptimize(answer.data());
  }
  state.SetLabel(toUtf8(answer));
}

void BM_GiNaC(benchmark::State& state, const Formula& f) {
  GiNaC::symbol x("x");
  GiNaC::symtab table;
  table["x"] = x;
  std::string text;
  for (auto _ : state) {
    GiNaC::parser reader(table);
    const GiNaC::ex formula = reader(f.ginac);
    std::ostringstream out;
    out << formula.diff(x);
    text = out.str();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetLabel(text);
}

int registerAll() {
  for (const Formula& f : kFormulas) {
    benchmark::RegisterBenchmark((std::string("Diff/ours/") + f.label).c_str(), BM_Ours, f);
    benchmark::RegisterBenchmark((std::string("Diff/ginac/") + f.label).c_str(), BM_GiNaC, f);
  }
  return 0;
}

const int registered = registerAll();

}  // namespace

BENCHMARK_MAIN();
