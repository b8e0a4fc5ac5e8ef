#include "core/matrix/matrix_algorithms.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace quadrel::matrix {

namespace {

double closedFormDeterminant(const double* a, int n) {
  switch (n) {
    case 1: return a[0];
    case 2: return a[0] * a[3] - a[1] * a[2];
    default:
      return a[0] * (a[4] * a[8] - a[5] * a[7]) - a[1] * (a[3] * a[8] - a[5] * a[6]) +
             a[2] * (a[3] * a[7] - a[4] * a[6]);
  }
}

// One step k of Gaussian elimination with column pivoting on a rows x cols
// matrix: the largest |a(k, i)| of row k (the first of equal values) becomes
// the pivot. A pivot whose magnitude is at most threshold zeroes the
// determinant and skips the step. Columns are exchanged only in the rows
// still being eliminated: the rows above are never read again. Each row
// below is updated from itself and the pivot row alone.
inline void eliminationStep(double* a, int rows, int cols, int k, double threshold, double& det) {
  double* rowK = a + size_t(k) * cols;
  int best = k;
  double largest = std::fabs(rowK[k]);
  for (int i = k + 1; i < cols; ++i) {
    const double v = std::fabs(rowK[i]);
    if (v > largest) {
      largest = v;
      best = i;
    }
  }
  if (largest <= threshold) {
    det = 0.0;
    return;
  }
  if (best != k) {
    for (int r = k; r < rows; ++r) std::swap(a[size_t(r) * cols + k], a[size_t(r) * cols + best]);
    det = -det;
  }
  const double pivot = rowK[k];
  det *= pivot;
  for (int j = k + 1; j < rows; ++j) {
    double* rowJ = a + size_t(j) * cols;
    // a(j, m) - a(j, k) / a(k, k) * a(k, m), with the quotient taken once.
    const double factor = rowJ[k] / pivot;
    for (int m = k + 1; m < cols; ++m) rowJ[m] -= factor * rowK[m];
  }
}

// The product of the pivots with the sign of the exchanges, before snapping.
double eliminate(double* a, int n, double threshold) {
  double det = 1.0;
  for (int k = 0; k < n - 1; ++k) eliminationStep(a, n, n, k, threshold, det);
  return det;
}

double snapped(double det) { return std::fabs(det) < kPivotTolerance ? 0.0 : det; }

// The determinant of an n x n matrix of order 4 or more whose first `from`
// elimination steps are done, det holding their product.
double finishDeterminant(double* a, int n, int from, double det) {
  for (int k = from; k < n - 1; ++k) eliminationStep(a, n, n, k, kPivotTolerance, det);
  return snapped(det * a[size_t(n) * n - 1]);
}

// The inverse's cofactors for n >= 5, with the elimination shared between
// minors. For a removed column j, the minors of rows i all begin like the
// elimination of A without column j (n x (n-1)): while a step's pivot row
// lies above i, each remaining row is updated from itself and the pivot row
// only, so the minor's rows after s steps are those rows with row i left out.
// Each minor then goes on alone from step i. Every element sees the same
// operations in the same order as in a minor eliminated from scratch.
void sharedCofactors(const double* a, int n, double det, double* result, Workspace& ws) {
  const int m = n - 1;
  double* columns = sized(ws.work, size_t(n) * m);
  double* minor = sized(ws.minor, size_t(m) * m);
  for (int j = 0; j < n; ++j) {
    for (int r = 0; r < n; ++r) {
      const double* src = a + size_t(r) * n;
      double* dst = columns + size_t(r) * m;
      std::memcpy(dst, src, size_t(j) * sizeof(double));
      std::memcpy(dst + j, src + j + 1, size_t(m - j) * sizeof(double));
    }
    double prefix = 1.0;
    for (int i = 0; i < n; ++i) {
      double cofactor;
      if (i < n - 1) {
        for (int r = i + 1; r < n; ++r)
          std::memcpy(minor + size_t(r - 1) * m + i, columns + size_t(r) * m + i, size_t(m - i) * sizeof(double));
        cofactor = finishDeterminant(minor, m, i, prefix);
        if (i < m - 1)
          eliminationStep(columns, n, m, i, kPivotTolerance, prefix);
      } else {
        cofactor = snapped(prefix * columns[size_t(m) * m - 1]);
      }
      const double sign = ((i + j) & 1) ? -1.0 : 1.0;
      result[size_t(j) * n + i] = sign * cofactor / det;
    }
  }
}

}  // namespace

double determinantInPlace(double* a, int n) {
  if (n <= 3)
    return closedFormDeterminant(a, n);
  return finishDeterminant(a, n, 0, 1.0);
}

double determinant(const double* a, int n, Workspace& ws) {
  if (n <= 3)
    return closedFormDeterminant(a, n);
  const size_t count = size_t(n) * n;
  double* copy = sized(ws.scratch, count);
  std::memcpy(copy, a, count * sizeof(double));
  return determinantInPlace(copy, n);
}

bool inverse(const double* a, int n, double* out, Workspace& ws) {
  const double det = determinant(a, n, ws);
  if (det == 0.0)
    return false;
  if (n == 1) {
    out[0] = 1.0 / a[0];
    return true;
  }
  const int m = n - 1;
  double* result = sized(ws.result, size_t(n) * n);
  if (m >= 4) {
    sharedCofactors(a, n, det, result, ws);
    std::memcpy(out, result, size_t(n) * n * sizeof(double));
    return true;
  }
  double* minor = sized(ws.minor, size_t(m) * m);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      // The minor without row i and column j, built row by row.
      double* dst = minor;
      for (int r = 0; r < n; ++r) {
        if (r == i)
          continue;
        const double* src = a + size_t(r) * n;
        std::memcpy(dst, src, size_t(j) * sizeof(double));
        std::memcpy(dst + j, src + j + 1, size_t(m - j) * sizeof(double));
        dst += m;
      }
      const double sign = ((i + j) & 1) ? -1.0 : 1.0;
      result[size_t(j) * n + i] = sign * determinantInPlace(minor, m) / det;
    }
  }
  std::memcpy(out, result, size_t(n) * n * sizeof(double));
  return true;
}

void multiply(const double* a, int ra, int ca, const double* b, int cb, double* c) {
  // Row by row with k outside j: each c(i, j) still sums its products in k order.
  for (int i = 0; i < ra; ++i) {
    double* rowC = c + size_t(i) * cb;
    for (int j = 0; j < cb; ++j) rowC[j] = 0.0;
    const double* rowA = a + size_t(i) * ca;
    for (int k = 0; k < ca; ++k) {
      const double f = rowA[k];
      const double* rowB = b + size_t(k) * cb;
      for (int j = 0; j < cb; ++j) rowC[j] += f * rowB[j];
    }
  }
}

void multiplyVector(const double* a, int rows, int cols, const double* v, double* r) {
  for (int i = 0; i < rows; ++i) {
    const double* row = a + size_t(i) * cols;
    double s = 0.0;
    for (int k = 0; k < cols; ++k) s += row[k] * v[k];
    r[i] = s;
  }
}

void transpose(const double* a, int rows, int cols, double* out) {
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) out[size_t(j) * rows + i] = a[size_t(i) * cols + j];
}

void transposeSquareInPlace(double* a, int n) {
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j) std::swap(a[size_t(i) * n + j], a[size_t(j) * n + i]);
}

void power(const double* a, int n, int64_t p, double* r) {
  const size_t count = size_t(n) * n;
  std::vector<double> m(a, a + count);
  for (int64_t step = 1; step < p; ++step) {
    multiply(m.data(), n, n, a, n, r);
    // A product equal to its factor bit for bit repeats itself: the
    // remaining steps would give the same matrix again.
    if (std::memcmp(r, m.data(), count * sizeof(double)) == 0)
      return;
    std::memcpy(m.data(), r, count * sizeof(double));
  }
}

void diagonalForm(double* a, int n) {
  eliminate(a, n, 0.0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      if (i != j)
        a[size_t(i) * n + j] = 0.0;
}

namespace {

// Cramer's rule for n >= 4 with the elimination shared between the n
// determinants. The matrix with column k replaced by b is eliminated exactly
// like A itself for as long as its pivot searches pick the same columns: the
// other columns see the same operations, and b's column is carried along
// with the same factors. At the first step where b's column would change
// the choice, or where A's pivot is column k itself, that determinant
// branches off from A's state and is finished alone. Every element sees the
// operations of an elimination from scratch, in the same order.
bool sharedCramer(const double* a, int n, const double* b, double* x, Workspace& ws) {
  const size_t count = size_t(n) * n;
  double* w = sized(ws.work, count);
  double* branch = sized(ws.minor, count);
  std::memcpy(w, a, count * sizeof(double));
  std::vector<double> rhs(count), dets(size_t(n), 0.0);
  std::vector<int> position(static_cast<size_t>(n));
  std::vector<char> live(size_t(n), 1);
  for (int k = 0; k < n; ++k) {
    std::memcpy(&rhs[size_t(k) * n], b, size_t(n) * sizeof(double));
    position[size_t(k)] = k;
  }
  double prefix = 1.0;
  for (int s = 0; s < n - 1; ++s) {
    double* rowS = w + size_t(s) * n;
    int best = s;
    double largest = std::fabs(rowS[s]);
    for (int i = s + 1; i < n; ++i) {
      const double v = std::fabs(rowS[i]);
      if (v > largest) {
        largest = v;
        best = i;
      }
    }
    for (int k = 0; k < n; ++k) {
      if (!live[size_t(k)])
        continue;
      const int p = position[size_t(k)];
      const double v = std::fabs(rhs[size_t(k) * n + s]);
      bool branches;
      if (std::isnan(v) || std::isnan(largest))
        branches = true;
      else if (largest <= kPivotTolerance)
        branches = v > kPivotTolerance;
      else
        branches = p == best || v > largest || (v == largest && p < best);
      if (!branches)
        continue;
      for (int r = s; r < n; ++r) {
        std::memcpy(branch + size_t(r) * n + s, w + size_t(r) * n + s, size_t(n - s) * sizeof(double));
        branch[size_t(r) * n + p] = rhs[size_t(k) * n + r];
      }
      dets[size_t(k)] = finishDeterminant(branch, n, s, prefix);
      live[size_t(k)] = 0;
    }
    if (largest <= kPivotTolerance) {
      prefix = 0.0;
      continue;
    }
    if (best != s) {
      for (int r = s; r < n; ++r) std::swap(w[size_t(r) * n + s], w[size_t(r) * n + best]);
      prefix = -prefix;
      for (int k = 0; k < n; ++k)
        if (live[size_t(k)] && position[size_t(k)] == s)
          position[size_t(k)] = best;
    }
    const double pivot = rowS[s];
    prefix *= pivot;
    for (int j = s + 1; j < n; ++j) {
      double* rowJ = w + size_t(j) * n;
      const double factor = rowJ[s] / pivot;
      for (int m = s + 1; m < n; ++m) rowJ[m] -= factor * rowS[m];
      for (int k = 0; k < n; ++k)
        if (live[size_t(k)])
          rhs[size_t(k) * n + j] -= factor * rhs[size_t(k) * n + s];
    }
  }
  const double det = snapped(prefix * w[count - 1]);
  if (det == 0.0)
    return false;
  for (int k = 0; k < n; ++k) {
    if (live[size_t(k)])
      dets[size_t(k)] = snapped(prefix * rhs[size_t(k) * n + n - 1]);
    x[k] = dets[size_t(k)] / det;
  }
  return true;
}

}  // namespace

bool solveCramer(const double* a, int n, const double* b, double* x, Workspace& ws) {
  if (n >= 4)
    return sharedCramer(a, n, b, x, ws);
  const double det = determinant(a, n, ws);
  if (det == 0.0)
    return false;
  double solution[3];
  double work[9];
  std::memcpy(work, a, size_t(n) * n * sizeof(double));
  for (int k = 0; k < n; ++k) {
    for (int i = 0; i < n; ++i) work[i * n + k] = b[i];
    solution[k] = determinant(work, n, ws) / det;
    for (int i = 0; i < n; ++i) work[i * n + k] = a[i * n + k];
  }
  std::memcpy(x, solution, size_t(n) * sizeof(double));
  return true;
}

bool leastSquares(const double* a, int m, int n, const double* y, double* c, Workspace& ws) {
  std::vector<double> t(size_t(n) * m), normal(size_t(n) * n), rhs(n), coeff(n);
  transpose(a, m, n, t.data());
  multiply(t.data(), n, m, a, n, normal.data());
  if (!inverse(normal.data(), n, normal.data(), ws))
    return false;
  multiplyVector(t.data(), n, m, y, rhs.data());
  multiplyVector(normal.data(), n, n, rhs.data(), coeff.data());
  std::memcpy(c, coeff.data(), size_t(n) * sizeof(double));
  return true;
}

double trace(const double* a, int n) {
  double s = 0.0;
  for (int i = 0; i < n; ++i) s += a[size_t(i) * n + i];
  return s;
}

double euclideanNorm(const double* v, int n) {
  double s = 0.0;
  for (int i = 0; i < n; ++i) s += v[i] * v[i];
  return std::sqrt(s);
}

double polynomialValue(double x, const double* c, int count) {
  double y = 0.0;
  for (int i = 0; i < count; ++i) y += c[i] * std::pow(x, double(i));
  return y;
}

bool swapRowsOrColumns(double* a, int rows, int cols, bool byRows, int i, int j) {
  const int limit = byRows ? rows : cols;
  if (i < 1 || i > limit || j < 1 || j > limit)
    return false;
  --i, --j;
  if (byRows) {
    for (int c = 0; c < cols; ++c) std::swap(a[size_t(i) * cols + c], a[size_t(j) * cols + c]);
  } else {
    for (int r = 0; r < rows; ++r) std::swap(a[size_t(r) * cols + i], a[size_t(r) * cols + j]);
  }
  return true;
}

bool nearlyEqual(const double* a, const double* b, size_t count) {
  for (size_t k = 0; k < count; ++k)
    if (!(std::fabs(a[k] - b[k]) <= kPivotTolerance))
      return false;
  return true;
}

bool nearlyIdentity(const double* a, int n) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      if (!(std::fabs(a[size_t(i) * n + j] - (i == j ? 1.0 : 0.0)) <= kPivotTolerance))
        return false;
  return true;
}

bool isIdentity(const double* a, int n) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      if (a[size_t(i) * n + j] != (i == j ? 1.0 : 0.0))
        return false;
  return true;
}

}  // namespace quadrel::matrix
