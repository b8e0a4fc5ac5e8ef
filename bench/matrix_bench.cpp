// Matrix operations: ours (through the same calls the exports make) next to
// Eigen (LU with partial pivoting, dynamic size) and a straightforward
// reference of our own algorithms (a fresh copy per determinant and per
// minor, the elimination's quotient taken in the inner loop). The reference
// gives bit-identical results; the setup checks that before timing.
// Also one-shot matrix formulas per second over 3 x 3 matrices.
//
//   cmake --preset bench && cmake --build build/bench -j2 --target quadrel_matrix_bench
//   build/bench/bin/quadrel_matrix_bench
#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/matrix/matrix_library.h"
#include "core/matrix/matrix_store_ops.h"
#include "platform/headless/headless_platform.h"

namespace {

using namespace quadrel;
using Buffer = std::vector<double>;

// A diagonally dominant matrix: well away from the 1.0E-12 snapping.
Buffer testMatrix(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Buffer a(size_t(n) * n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) a[size_t(i) * n + j] = u(rng) + (i == j ? 0.6 : 0.0);
  return a;
}

// ---- the straightforward reference -------------------------------------------

double referenceDeterminant(const Buffer& in, int n) {
  const Buffer& m = in;
  if (n == 1)
    return m[0];
  if (n == 2)
    return m[0] * m[3] - m[1] * m[2];
  if (n == 3)
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
  Buffer a(in);
  auto at = [&](int r, int c) -> double& { return a[size_t(r) * n + c]; };
  double det = 1.0;
  for (int k = 0; k < n - 1; ++k) {
    int best = k;
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(at(k, i)) > std::fabs(at(k, best)))
        best = i;
    if (std::fabs(at(k, best)) <= 1.0E-12) {
      det = 0.0;
      continue;
    }
    if (best != k) {
      for (int r = 0; r < n; ++r) std::swap(at(r, k), at(r, best));
      det = -det;
    }
    det *= at(k, k);
    for (int j = k + 1; j < n; ++j)
      for (int c = k + 1; c < n; ++c) at(j, c) = at(j, c) - at(j, k) / at(k, k) * at(k, c);
  }
  det *= at(n - 1, n - 1);
  return std::fabs(det) < 1.0E-12 ? 0.0 : det;
}

bool referenceInverse(Buffer& a, int n) {
  const double det = referenceDeterminant(a, n);
  if (det == 0.0)
    return false;
  Buffer result(a.size());
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      Buffer minor;
      for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
          if (r != i && c != j)
            minor.push_back(a[size_t(r) * n + c]);
      result[size_t(j) * n + i] = ((i + j) % 2 ? -1.0 : 1.0) * referenceDeterminant(minor, n - 1) / det;
    }
  a = result;
  return true;
}

bool referenceSolve(const Buffer& a, int n, const Buffer& b, Buffer& x) {
  const double det = referenceDeterminant(a, n);
  if (det == 0.0)
    return false;
  for (int k = 0; k < n; ++k) {
    Buffer work(a);
    for (int i = 0; i < n; ++i) work[size_t(i) * n + k] = b[size_t(i)];
    x[size_t(k)] = referenceDeterminant(work, n) / det;
  }
  return true;
}

Eigen::MatrixXd toEigen(const Buffer& a, int n) {
  Eigen::MatrixXd m(n, n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) m(i, j) = a[size_t(i) * n + j];
  return m;
}

[[noreturn]] void mismatch(const char* what, int n) {
  std::fprintf(stderr, "%s: the reference differs from ours at n = %d\n", what, n);
  std::exit(1);
}

struct Fixture {
  HeadlessPlatform platform;
  Engine e{platform};
};

// ---- determinant ------------------------------------------------------------------

void BM_aDet_Ours(benchmark::State& state) {
  const int n = int(state.range(0));
  Fixture f;
  const Buffer a = testMatrix(n, 1);
  double d = 0;
  matrix_ops::determinant(f.e, a.data(), n, &d);
  if (d != referenceDeterminant(a, n))
    mismatch("aDet", n);
  for (auto _ : state) {
    matrix_ops::determinant(f.e, a.data(), n, &d);
    benchmark::DoNotOptimize(d);
  }
}

void BM_aDet_Reference(benchmark::State& state) {
  const int n = int(state.range(0));
  const Buffer a = testMatrix(n, 1);
  for (auto _ : state) benchmark::DoNotOptimize(referenceDeterminant(a, n));
}

void BM_aDet_Eigen(benchmark::State& state) {
  const int n = int(state.range(0));
  const Eigen::MatrixXd m = toEigen(testMatrix(n, 1), n);
  for (auto _ : state) benchmark::DoNotOptimize(m.determinant());
}

// ---- inverse ---------------------------------------------------------------------------

void BM_aInv_Ours(benchmark::State& state) {
  const int n = int(state.range(0));
  Fixture f;
  const Buffer a = testMatrix(n, 2);
  Buffer work = a, ref = a;
  matrix_ops::invert(f.e, work.data(), n);
  referenceInverse(ref, n);
  if (std::memcmp(work.data(), ref.data(), work.size() * sizeof(double)) != 0)
    mismatch("aInv", n);
  for (auto _ : state) {
    std::memcpy(work.data(), a.data(), a.size() * sizeof(double));
    benchmark::DoNotOptimize(matrix_ops::invert(f.e, work.data(), n));
  }
}

void BM_aInv_Reference(benchmark::State& state) {
  const int n = int(state.range(0));
  const Buffer a = testMatrix(n, 2);
  Buffer work = a;
  for (auto _ : state) {
    work = a;
    benchmark::DoNotOptimize(referenceInverse(work, n));
  }
}

void BM_aInv_Eigen(benchmark::State& state) {
  const int n = int(state.range(0));
  const Eigen::MatrixXd m = toEigen(testMatrix(n, 2), n);
  Eigen::MatrixXd inv(n, n);
  for (auto _ : state) {
    inv = m.inverse();
    benchmark::DoNotOptimize(inv.data());
  }
}

// ---- linear system -----------------------------------------------------------------------

void BM_aSist_Ours(benchmark::State& state) {
  const int n = int(state.range(0));
  Fixture f;
  const Buffer a = testMatrix(n, 3), b = testMatrix(n, 4);
  Buffer x(static_cast<size_t>(n)), ref(static_cast<size_t>(n));
  matrix_ops::solve(f.e, a.data(), n, b.data(), x.data());
  referenceSolve(a, n, b, ref);
  if (x != ref)
    mismatch("aSist", n);
  for (auto _ : state) benchmark::DoNotOptimize(matrix_ops::solve(f.e, a.data(), n, b.data(), x.data()));
}

void BM_aSist_Reference(benchmark::State& state) {
  const int n = int(state.range(0));
  const Buffer a = testMatrix(n, 3), b = testMatrix(n, 4);
  Buffer x(static_cast<size_t>(n));
  for (auto _ : state) benchmark::DoNotOptimize(referenceSolve(a, n, b, x));
}

void BM_aSist_Eigen(benchmark::State& state) {
  const int n = int(state.range(0));
  const Eigen::MatrixXd m = toEigen(testMatrix(n, 3), n);
  const Buffer b = testMatrix(n, 4);
  const Eigen::VectorXd rhs = Eigen::Map<const Eigen::VectorXd>(b.data(), n);
  Eigen::VectorXd x(n);
  for (auto _ : state) {
    x = m.partialPivLu().solve(rhs);
    benchmark::DoNotOptimize(x.data());
  }
}

// ---- one-shot matrix formulas ----------------------------------------------------------------

void BM_MatrixFormula(benchmark::State& state) {
  Fixture f;
  setStrMatrix(f.e, u"[mA];3;3;2;1;0;1;3;1;0;1;4", false, false);
  setStrMatrix(f.e, u"[mB];3;3;1;2;3;0;1;4;5;6;0", false, false);
  setStrMatrix(f.e, u"[mC];3;3;4;1;2;1;5;1;2;1;6", false, false);
  const TextView formula = u"det([mA]*[mB]T)+trace([mC]I)";
  if (!evaluate(f.e, formula, false).isNumber()) {
    std::fprintf(stderr, "the matrix formula failed\n");
    std::exit(1);
  }
  for (auto _ : state) benchmark::DoNotOptimize(evaluate(f.e, formula, false).value);
  state.SetItemsProcessed(state.iterations());
  if (f.e.matrix.store.size() != 3) {
    std::fprintf(stderr, "the store grew over the runs\n");
    std::exit(1);
  }
}

}  // namespace

BENCHMARK(BM_aDet_Ours)->Arg(4)->Arg(16)->Arg(64)->Arg(500);
BENCHMARK(BM_aDet_Eigen)->Arg(4)->Arg(16)->Arg(64)->Arg(500);
BENCHMARK(BM_aDet_Reference)->Arg(4)->Arg(16)->Arg(64)->Arg(500);
BENCHMARK(BM_aInv_Ours)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_aInv_Eigen)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_aInv_Reference)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_aSist_Ours)->Arg(4)->Arg(16)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_aSist_Eigen)->Arg(4)->Arg(16)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_aSist_Reference)->Arg(4)->Arg(16)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MatrixFormula);

BENCHMARK_MAIN();
