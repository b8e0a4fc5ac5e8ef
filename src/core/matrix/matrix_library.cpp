#include "core/matrix/matrix_library.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/engine.h"
#include "core/ground/error_table.h"
#include "core/matrix/element_order.h"
#include "core/matrix/matrix_algorithms.h"
#include "core/matrix/matrix_store.h"

namespace quadrel::matrix_ops {

namespace {

size_t countOf(int32_t rows, int32_t cols) { return size_t(rows) * size_t(cols); }

// Checks the arguments every operation shares: non-null buffers and a shape.
int32_t check(int32_t rows, int32_t cols, std::initializer_list<const void*> buffers) {
  for (const void* p : buffers)
    if (!p)
      return kMatNotDefined;
  return validMatrixShape(rows, cols) ? kMatOk : kMatOrdersNotValid;
}

// An inversion, a system or a fit whose work is past the limit is refused
// before it starts (it would hold the caller for minutes).
bool tooMuchWork(double work) { return work > double(kSolveWorkLimit); }

int32_t withStatus(Engine& e, int32_t code) {
  e.script.setStatus(code);
  return code;
}

// The caller's rows x cols buffer as a row-major copy.
std::vector<double> rowMajor(const Engine& e, const double* a, int32_t rows, int32_t cols) {
  std::vector<double> m(countOf(rows, cols));
  fromCaller(e.matrix, a, m.data(), rows, cols);
  return m;
}

// The same into a reused buffer of the workspace.
double* rowMajorInto(const Engine& e, std::vector<double>& buffer, const double* a, int32_t rows, int32_t cols) {
  double* m = matrix::sized(buffer, countOf(rows, cols));
  fromCaller(e.matrix, a, m, rows, cols);
  return m;
}

}  // namespace

int32_t copy(Engine&, const double* a, int32_t rows, int32_t cols, double* b) {
  if (int32_t c = check(rows, cols, {a, b}); c != kMatOk)
    return c;
  std::memmove(b, a, countOf(rows, cols) * sizeof(double));
  return kMatOk;
}

int32_t sum(Engine&, const double* a, int32_t rows, int32_t cols, const double* b, double* c, double sign) {
  // Element by element: the same in either element order.
  if (int32_t code = check(rows, cols, {a, b, c}); code != kMatOk)
    return code;
  const size_t n = countOf(rows, cols);
  for (size_t k = 0; k < n; ++k) c[k] = sign > 0 ? a[k] + b[k] : a[k] - b[k];
  return kMatOk;
}

int32_t addScalar(Engine&, double* a, int32_t rows, int32_t cols, double s) {
  if (int32_t c = check(rows, cols, {a}); c != kMatOk)
    return c;
  const size_t n = countOf(rows, cols);
  for (size_t k = 0; k < n; ++k) a[k] = s + a[k];
  return kMatOk;
}

int32_t multiplyScalar(Engine&, double* a, int32_t rows, int32_t cols, double s) {
  if (int32_t c = check(rows, cols, {a}); c != kMatOk)
    return c;
  const size_t n = countOf(rows, cols);
  for (size_t k = 0; k < n; ++k) a[k] = s * a[k];
  return kMatOk;
}

int32_t opposite(Engine&, double* a, int32_t rows, int32_t cols) {
  if (int32_t c = check(rows, cols, {a}); c != kMatOk)
    return c;
  const size_t n = countOf(rows, cols);
  for (size_t k = 0; k < n; ++k) a[k] = -a[k];
  return kMatOk;
}

int32_t multiplyEx(Engine& e, const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb, int32_t cb,
                   double* c) {
  int32_t code = check(ra, ca, {a, b, c});
  if (code == kMatOk && !validMatrixShape(rb, cb))
    code = kMatOrdersNotValid;
  if (code == kMatOk && ca != rb)
    code = kMatWrongRank;
  if (code == kMatOk && !validMatrixShape(ra, cb))
    code = kMatOrdersNotValid;
  if (code != kMatOk)
    return withStatus(e, code);
  const std::vector<double> x = rowMajor(e, a, ra, ca), y = rowMajor(e, b, rb, cb);
  std::vector<double> product(countOf(ra, cb));
  matrix::multiply(x.data(), ra, ca, y.data(), cb, product.data());
  toCaller(e.matrix, product.data(), c, ra, cb);
  return withStatus(e, kMatOk);
}

int32_t multiplySquare(Engine& e, const double* a, int32_t n, const double* b, double* c) {
  if (int32_t code = check(n, n, {a, b, c}); code != kMatOk)
    return withStatus(e, code);
  const std::vector<double> x = rowMajor(e, a, n, n), y = rowMajor(e, b, n, n);
  std::vector<double> product(countOf(n, n));
  matrix::multiply(x.data(), n, n, y.data(), n, product.data());
  toCaller(e.matrix, product.data(), c, n, n);
  return withStatus(e, kMatOk);
}

int32_t multiplyVector(Engine& e, const double* a, int32_t rows, int32_t cols, const double* v, double* r) {
  if (int32_t code = check(rows, cols, {a, v, r}); code != kMatOk)
    return code;
  const std::vector<double> x = rowMajor(e, a, rows, cols);
  std::vector<double> out(static_cast<size_t>(rows));
  matrix::multiplyVector(x.data(), rows, cols, v, out.data());
  std::memcpy(r, out.data(), out.size() * sizeof(double));
  return kMatOk;
}

int32_t power(Engine& e, const double* a, int32_t n, int32_t p, double* r) {
  if (int32_t code = check(n, n, {a, r}); code != kMatOk)
    return withStatus(e, code);
  if (p >= 2) {
    const std::vector<double> x = rowMajor(e, a, n, n);
    std::vector<double> out(countOf(n, n));
    // An exponent whose products would take too long: refused, r untouched.
    if (!matrix::power(x.data(), n, p, out.data(), e.matrix.powerWorkLimit))
      return withStatus(e, kMatInvalidParameter);
    toCaller(e.matrix, out.data(), r, n, n);
  }
  return withStatus(e, kMatOk);
}

int32_t transposeInPlace(Engine& e, double* a, int32_t rows, int32_t cols) {
  return transposeInto(e, a, rows, cols, a);
}

int32_t transposeInto(Engine& e, const double* a, int32_t rows, int32_t cols, double* b) {
  if (int32_t code = check(rows, cols, {a, b}); code != kMatOk)
    return code;
  const std::vector<double> x = rowMajor(e, a, rows, cols);
  std::vector<double> t(x.size());
  matrix::transpose(x.data(), rows, cols, t.data());
  toCaller(e.matrix, t.data(), b, cols, rows);
  return kMatOk;
}

int32_t transposeSquare(Engine& e, double* a, int32_t n) { return transposeInto(e, a, n, n, a); }

int32_t swap(Engine& e, double* a, int32_t rows, int32_t cols, double* b) {
  if (!a || !b)
    return withStatus(e, kMatNotDefined);
  if (!validMatrixShape(rows, cols))
    return withStatus(e, kMatOrdersNotValid);
  if (a != b) {
    const size_t n = countOf(rows, cols);
    std::vector<double> temp(a, a + n);
    std::memmove(a, b, n * sizeof(double));
    std::memcpy(b, temp.data(), n * sizeof(double));
  }
  return withStatus(e, kMatOk);
}

int32_t swapRowsOrColumns(Engine& e, double* a, int32_t rows, int32_t cols, int32_t byRows, int32_t i, int32_t j) {
  if (int32_t code = check(rows, cols, {a}); code != kMatOk)
    return code;
  std::vector<double> x = rowMajor(e, a, rows, cols);
  if (!matrix::swapRowsOrColumns(x.data(), rows, cols, byRows != 0, i, j))
    return kMatWrongSwap;
  toCaller(e.matrix, x.data(), a, rows, cols);
  return kMatOk;
}

int32_t determinant(Engine& e, const double* a, int32_t n, double* out) {
  int32_t code = check(n, n, {a});
  if (code == kMatOk && !out)
    code = kMatInvalidParameter;
  if (code != kMatOk)
    return withStatus(e, code);
  double* x = rowMajorInto(e, e.matrix.workspace.input, a, n, n);
  *out = matrix::determinantInPlace(x, n);
  return withStatus(e, kMatOk);
}

int32_t diagonal(Engine& e, double* a, int32_t n) {
  if (int32_t code = check(n, n, {a}); code != kMatOk)
    return code;
  std::vector<double> x = rowMajor(e, a, n, n);
  matrix::diagonalForm(x.data(), n);
  toCaller(e.matrix, x.data(), a, n, n);
  return kMatOk;
}

int32_t invert(Engine& e, double* a, int32_t n) {
  if (!a)
    return withStatus(e, kMatNotDefined);
  if (!validMatrixShape(n, n))
    return withStatus(e, kMatOrdersNotValid);
  if (tooMuchWork(matrix::inverseWork(n)))
    return withStatus(e, kMatInvalidParameter);
  matrix::Workspace& ws = e.matrix.workspace;
  // In row order the caller's buffer is the work array: no copy in or out.
  const bool inPlace = callerOrderIsRowMajor(e.matrix);
  double* x = inPlace ? a : rowMajorInto(e, ws.input, a, n, n);
  if (!matrix::inverse(x, n, x, ws))
    return withStatus(e, kMatSingular);
  if (!inPlace)
    toCaller(e.matrix, x, a, n, n);
  return withStatus(e, kMatOk);
}

int32_t divide(Engine& e, const double* a, int32_t n, const double* b, double* c) {
  if (int32_t code = check(n, n, {a, b, c}); code != kMatOk)
    return withStatus(e, code);
  if (tooMuchWork(matrix::inverseWork(n)))
    return withStatus(e, kMatInvalidParameter);
  matrix::Workspace& ws = e.matrix.workspace;
  std::vector<double> inverseB = rowMajor(e, b, n, n);
  if (!matrix::inverse(inverseB.data(), n, inverseB.data(), ws)) {
    std::memset(c, 0, countOf(n, n) * sizeof(double));
    return withStatus(e, kMatSingular);
  }
  const std::vector<double> x = rowMajor(e, a, n, n);
  std::vector<double> product(countOf(n, n));
  matrix::multiply(x.data(), n, n, inverseB.data(), n, product.data());
  toCaller(e.matrix, product.data(), c, n, n);
  return withStatus(e, kMatOk);
}

int32_t solve(Engine& e, const double* a, int32_t n, const double* b, double* x) {
  if (int32_t code = check(n, n, {a, b, x}); code != kMatOk)
    return code;
  if (tooMuchWork(matrix::cramerWork(n)))
    return kMatInvalidParameter;
  matrix::Workspace& ws = e.matrix.workspace;
  const double* m = callerOrderIsRowMajor(e.matrix) ? a : rowMajorInto(e, ws.input, a, n, n);
  return matrix::solveCramer(m, n, b, x, ws) ? kMatOk : kMatSingular;
}

int32_t trace(Engine& e, const double* a, int32_t n, double* out) {
  if (int32_t code = check(n, n, {a}); code != kMatOk)
    return code;
  if (!out)
    return kMatInvalidParameter;
  // The diagonal lies in the same places in either element order.
  (void)e;
  *out = matrix::trace(a, n);
  return kMatOk;
}

int32_t norm(Engine&, const double* v, int32_t n, double* out) {
  if (int32_t code = check(n, 1, {v}); code != kMatOk)
    return code;
  if (!out)
    return kMatInvalidParameter;
  *out = matrix::euclideanNorm(v, n);
  return kMatOk;
}

int32_t isZero(Engine&, const double* a, int32_t n) {
  if (int32_t code = check(n, n, {a}); code != kMatOk)
    return code;
  const size_t count = countOf(n, n);
  for (size_t k = 0; k < count; ++k)
    if (a[k] != 0.0)
      return 0;
  return -1;
}

int32_t isUnit(Engine&, const double* a, int32_t n) {
  if (int32_t code = check(n, n, {a}); code != kMatOk)
    return code;
  return matrix::isIdentity(a, n) ? -1 : 0;
}

int32_t isSingular(Engine& e, const double* a, int32_t n) {
  if (int32_t code = check(n, n, {a}); code != kMatOk)
    return code;
  double* x = rowMajorInto(e, e.matrix.workspace.input, a, n, n);
  return matrix::determinantInPlace(x, n) == 0.0 ? -1 : 0;
}

int32_t isOrthogonal(Engine& e, const double* a, int32_t n) {
  if (int32_t code = check(n, n, {a}); code != kMatOk)
    return code;
  const std::vector<double> x = rowMajor(e, a, n, n);
  std::vector<double> t(x.size()), inv(x.size());
  if (!matrix::inverse(x.data(), n, inv.data(), e.matrix.workspace))
    return 0;
  matrix::transpose(x.data(), n, n, t.data());
  return matrix::nearlyEqual(t.data(), inv.data(), t.size()) ? -1 : 0;
}

int32_t areOrthogonal(Engine& e, const double* a, int32_t n, const double* b) {
  if (int32_t code = check(n, n, {a, b}); code != kMatOk)
    return code;
  const std::vector<double> x = rowMajor(e, a, n, n), y = rowMajor(e, b, n, n);
  std::vector<double> product(x.size());
  matrix::multiply(x.data(), n, n, y.data(), n, product.data());
  return matrix::nearlyIdentity(product.data(), n) ? -1 : 0;
}

int32_t areEqual(Engine&, const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb, int32_t cb) {
  if (!a || !b)
    return kMatNotDefined;
  if (ra != rb || ca != cb)
    return kMatOrdersNotEqual;
  if (!validMatrixShape(ra, ca))
    return kMatOrdersNotValid;
  const size_t n = countOf(ra, ca);
  for (size_t k = 0; k < n; ++k)
    if (!(a[k] == b[k]))
      return 0;
  return -1;
}

int32_t vectorCoefficients(Engine& e, const double* a, int32_t m, int32_t n, const double* y, double* c) {
  if (int32_t code = check(m, n, {a, y, c}); code != kMatOk)
    return code;
  if (tooMuchWork(matrix::leastSquaresWork(m, n)))
    return kMatInvalidParameter;
  const std::vector<double> x = rowMajor(e, a, m, n);
  RawCopyScope raw(e.matrix);
  return matrix::leastSquares(x.data(), m, n, y, c, e.matrix.workspace) ? kMatOk : kMatSingular;
}

int32_t polynomialCoefficients(Engine& e, const double* p, int32_t points, int32_t coefficients, double* c) {
  if (int32_t code = check(2, points, {p, c}); code != kMatOk)
    return code;
  if (coefficients < 1 || coefficients > points)
    return kMatRankOfCoefficients;
  if (tooMuchWork(matrix::leastSquaresWork(points, coefficients)))
    return kMatInvalidParameter;
  const std::vector<double> xy = rowMajor(e, p, 2, points);
  std::vector<double> vandermonde(countOf(points, coefficients));
  for (int32_t i = 0; i < points; ++i)
    for (int32_t j = 0; j < coefficients; ++j)
      vandermonde[size_t(i) * size_t(coefficients) + size_t(j)] = std::pow(xy[size_t(i)], double(j));
  RawCopyScope raw(e.matrix);
  const double* y = xy.data() + points;
  return matrix::leastSquares(vandermonde.data(), points, coefficients, y, c, e.matrix.workspace) ? kMatOk
                                                                                                  : kMatSingular;
}

int32_t polynomialValue(Engine&, const double* x, const double* c, int32_t count, double* y) {
  if (!x || !y || (count > 0 && !c))
    return kMatInvalidParameter;
  *y = matrix::polynomialValue(*x, c, count);
  return kMatOk;
}

int32_t quadraticRoots(Engine& e, const double* pY, const double* c, int32_t count, double* x1, double* x2) {
  if (!x1 || !x2)
    return withStatus(e, kMatInvalidParameter);
  *x1 = *x2 = 0.0;
  if (!pY || (count >= 1 && count <= 3 && !c))
    return withStatus(e, kMatInvalidParameter);
  const double y = *pY;
  switch (count) {
    case 1: *x1 = y; return withStatus(e, kMatOk);
    case 2:
      if (c[1] == 0.0)
        return withStatus(e, kMatNoSolution);
      *x1 = (y - c[0]) / c[1];
      return withStatus(e, kMatOk);
    case 3: {
      const double d = c[1] * c[1] - 4.0 * (c[0] - y) * c[2];
      if (d < 0.0 || c[2] == 0.0)
        return withStatus(e, kMatNoSolution);
      *x1 = (-c[1] + std::sqrt(d)) / (2.0 * c[2]);
      *x2 = (-c[1] - std::sqrt(d)) / (2.0 * c[2]);
      return withStatus(e, kMatOk);
    }
    default: return withStatus(e, kMatNoSolution);
  }
}

}  // namespace quadrel::matrix_ops
