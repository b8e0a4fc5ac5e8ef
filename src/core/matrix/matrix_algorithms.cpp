#include "core/matrix/matrix_algorithms.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "core/matrix/elimination.h"

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

using elimination::snapped;

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
        cofactor = elimination::finishTail(minor, m, m - i, prefix);
        if (i < m - 1)
          elimination::step(columns, n, m, i, kPivotTolerance, prefix);
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
  return elimination::finishTail(a, n, n, 1.0);
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

bool power(const double* a, int n, int64_t p, double* r, int64_t workLimit) {
  const size_t count = size_t(n) * n;
  const size_t bytes = count * sizeof(double);
  const int64_t affordable = powerProductLimit(n, workLimit);
  // The power a^k, the next one, and a^checkpoint, an earlier power kept
  // at k = 1, 2, 4, 8, ...: a repetition of period at most k is seen by
  // the time k is twice the index where it starts.
  std::vector<double> current(a, a + count), next(count), kept(a, a + count);
  int64_t k = 1, checkpoint = 1, products = 0;
  auto advance = [&] {
    multiply(current.data(), n, n, a, n, next.data());
    ++products;
    ++k;
  };
  while (k < p) {
    if (products == affordable)
      return false;
    advance();
    int64_t period = 0;
    if (std::memcmp(next.data(), current.data(), bytes) == 0)
      period = 1;
    else if (std::memcmp(next.data(), kept.data(), bytes) == 0)
      period = k - checkpoint;
    current.swap(next);
    if (period > 0) {
      // a^p = a^(k + (p - k) mod period): fewer than `period` products more.
      for (int64_t left = (p - k) % period; left > 0; --left) {
        advance();
        current.swap(next);
      }
      break;
    }
    if (k == 2 * checkpoint) {
      kept = current;
      checkpoint = k;
    }
  }
  std::memcpy(r, current.data(), bytes);
  return true;
}

void diagonalForm(double* a, int n) {
  double det = 1.0;
  for (int k = 0; k < n - 1; ++k) {
    // The step leaves row k as it was: its pivot goes onto the diagonal,
    // where the exchange of columns would have put it.
    const int pivotColumn = elimination::step(a, n, n, k, 0.0, det);
    if (pivotColumn >= 0)
      a[size_t(k) * n + k] = a[size_t(k) * n + pivotColumn];
  }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      if (i != j)
        a[size_t(i) * n + j] = 0.0;
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
