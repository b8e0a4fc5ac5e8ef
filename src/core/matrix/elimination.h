// The elimination behind every determinant of order 4 or more, shared by the
// determinant, the inverse's cofactors and Cramer's rule so that each of
// them performs exactly the same operations on every element.
#pragma once

#include <cmath>
#include <cstddef>
#include <utility>

#include "core/matrix/matrix_algorithms.h"

namespace quadrel::matrix::elimination {

// Two doubles in one vector register: one division instruction gives two
// quotients, each rounded exactly as its own scalar division would be.
using DoublePair = double __attribute__((vector_size(16)));

// Rows at least this long are updated four at a time (see below).
constexpr int kBlockedRowLength = 16;

// R rows from row j on of the row-major matrix a (row stride `stride`)
// lose a multiple of row k over the columns (k, to), with the pivot in
// column p and columns k and p exchanged: the quotient f = a(j, p) / pivot
// is taken once per row, two per division instruction; a(j, m) becomes
// a(j, m) - f * a(k, m), and a(j, p) becomes a(j, k) - f * a(k, k). The
// rows share the loads of row k. A carried column (one element per row, or
// null) gets the same row operations.
template <int R>
inline void subtractFromRows(double* a, int stride, int k, int p, int j, int to, double pivot, double* carried) {
  const double* __restrict pivotRow = a + size_t(k) * stride;
  double* __restrict rows[R];
  double factors[R];
  for (int r = 0; r < R; ++r) rows[r] = a + size_t(j + r) * stride;
  for (int r = 0; r + 1 < R; r += 2) {
    const DoublePair q = DoublePair{rows[r][p], rows[r + 1][p]} / pivot;
    factors[r] = q[0];
    factors[r + 1] = q[1];
  }
  if (R % 2)
    factors[R - 1] = rows[R - 1][p] / pivot;
  for (int m = k + 1; m < to; ++m) {
    const double v = pivotRow[m];
    for (int r = 0; r < R; ++r) rows[r][m] -= factors[r] * v;
  }
  if (p != k)
    for (int r = 0; r < R; ++r) rows[r][p] = rows[r][k] - factors[r] * pivotRow[k];
  if (carried)
    for (int r = 0; r < R; ++r) carried[j + r] -= factors[r] * carried[k];
}

// Rows [firstRow, lastRow) lose their multiple of row k as above. The
// exchange itself is never stored (column k is not read again): a store
// followed by a wider load over it would stall the load. Rows go two at a
// time; rows of at least kBlockedRowLength elements four at a time
// (shorter rows measured slower that way).
inline void subtractPivotRow(double* a, int stride, int k, int p, int firstRow, int lastRow, int to, double pivot,
                             double* carried = nullptr) {
  int j = firstRow;
  if (to - k - 1 >= kBlockedRowLength)
    for (; j + 3 < lastRow; j += 4) subtractFromRows<4>(a, stride, k, p, j, to, pivot, carried);
  for (; j + 1 < lastRow; j += 2) subtractFromRows<2>(a, stride, k, p, j, to, pivot, carried);
  if (j < lastRow)
    subtractFromRows<1>(a, stride, k, p, j, to, pivot, carried);
}

// The column of the largest |row[i]| for i in [k, cols), the first of equal
// values; a NaN is never larger than anything, and one in row[k] keeps k.
// A single search would wait for each comparison before the next: two run
// side by side, over the even and the odd offsets from k, and the later of
// equal values loses when they are merged. Without branches: which element
// is larger is data that a processor cannot predict.
inline int pivotColumn(const double* row, int k, int cols, double& largest) {
  int even = k, odd = -1;
  double evenLargest = std::fabs(row[k]), oddLargest = -1.0;
  int i = k + 1;
  for (; i + 1 < cols; i += 2) {
    const double v = std::fabs(row[i]), w = std::fabs(row[i + 1]);
    const bool oddLarger = v > oddLargest, evenLarger = w > evenLargest;
    odd = oddLarger ? i : odd;
    oddLargest = oddLarger ? v : oddLargest;
    even = evenLarger ? i + 1 : even;
    evenLargest = evenLarger ? w : evenLargest;
  }
  if (i < cols) {
    const double v = std::fabs(row[i]);
    const bool oddLarger = v > oddLargest;
    odd = oddLarger ? i : odd;
    oddLargest = oddLarger ? v : oddLargest;
  }
  const bool oddWins = oddLargest > evenLargest || (oddLargest == evenLargest && odd < even);
  largest = oddWins ? oddLargest : evenLargest;
  return oddWins ? odd : even;
}

// One step k of Gaussian elimination with column pivoting on a rows x cols
// matrix: the largest |a(k, i)| of row k (the first of equal values) becomes
// the pivot. A pivot whose magnitude is at most threshold zeroes the
// determinant and skips the step. The pivot's column and column k are
// exchanged in the rows below as they are updated; row k and column k are
// never read again. Each row below is updated from itself and the pivot
// row alone. Answers the pivot's column, -1 for a skipped step.
inline int step(double* a, int rows, int cols, int k, double threshold, double& det) {
  const double* rowK = a + size_t(k) * cols;
  double largest;
  const int best = pivotColumn(rowK, k, cols, largest);
  if (largest <= threshold) {
    det = 0.0;
    return -1;
  }
  det = best != k ? -det : det;
  const double pivot = rowK[best];
  det *= pivot;
  subtractPivotRow(a, cols, k, best, k + 1, rows, cols, pivot);
  return best;
}

inline double snapped(double det) { return std::fabs(det) < kPivotTolerance ? 0.0 : det; }

// The determinant of an n x n matrix of order 4 or more whose first `from`
// elimination steps are done, det holding their product.
inline double finish(double* a, int n, int from, double det) {
  for (int k = from; k < n - 1; ++k) step(a, n, n, k, kPivotTolerance, det);
  return snapped(det * a[size_t(n) * n - 1]);
}

// Step K for an order known when compiling: every index but the pivot's is
// a constant, and the pivot search and the exchange go without branches,
// whose outcome is data that a processor cannot predict. The operations on
// the elements are those of step().
template <int N, int K>
inline void fixedStep(double* a, double& det) {
  double* rowK = a + K * N;
  int best = K;
  double largest = std::fabs(rowK[K]);
  for (int i = K + 1; i < N; ++i) {
    const double v = std::fabs(rowK[i]);
    const bool larger = v > largest;
    best = larger ? i : best;
    largest = larger ? v : largest;
  }
  if (largest <= kPivotTolerance) {
    det = 0.0;
    return;
  }
  // The exchange of columns K and best is not stored: column K is never
  // read again, so each row takes the old column K's element where best
  // was, in registers. A store right before an overlapping wider load
  // would stall the load.
  det = best != K ? -det : det;
  const double pivot = rowK[best];
  det *= pivot;
  double pivotRow[N];
  for (int m = K + 1; m < N; ++m) pivotRow[m] = m == best ? rowK[K] : rowK[m];
  for (int j = K + 1; j < N; ++j) {
    double* rowJ = a + j * N;
    const double factor = rowJ[best] / pivot;
    const double exchanged = rowJ[K];
    for (int m = K + 1; m < N; ++m) rowJ[m] = (m == best ? exchanged : rowJ[m]) - factor * pivotRow[m];
  }
}

// Step K of `count` N x N matrices, one after the other: the steps of
// different matrices do not wait for each other.
template <int N, int K>
inline void fixedStepOfAll(double* matrices, int count, double* dets) {
  for (int d = 0; d < count; ++d) fixedStep<N, K>(matrices + d * N * N, dets[d]);
}

template <int N, int... K>
inline void fixedSteps(double* matrices, int count, double* dets, std::integer_sequence<int, K...>) {
  (fixedStepOfAll<N, K>(matrices, count, dets), ...);
}

// The determinant of an N x N matrix, the product of earlier steps in det.
template <int N>
double fixedFinish(double* a, double det) {
  fixedSteps<N>(a, 1, &det, std::make_integer_sequence<int, N - 1>{});
  return snapped(det * a[N * N - 1]);
}

// The determinants of `count` N x N matrices, eliminated side by side.
template <int N>
void fixedDeterminants(double* matrices, int count, double* dets) {
  for (int d = 0; d < count; ++d) dets[d] = 1.0;
  fixedSteps<N>(matrices, count, dets, std::make_integer_sequence<int, N - 1>{});
  for (int d = 0; d < count; ++d) dets[d] = snapped(dets[d] * matrices[d * N * N + N * N - 1]);
}

// Orders up to this one have loops of fixed length in finishTail().
constexpr int kLargestFixedOrder = 8;

// The determinant of the n x n matrix a (row stride n) whose first
// n - order steps are done, det holding their product: the last
// kLargestFixedOrder steps are taken on a copy with loops of fixed length.
double finishTail(double* a, int n, int order, double det);

}  // namespace quadrel::matrix::elimination
