// The exported matrix operations over caller buffers: each converts its
// matrix arguments from the caller's element order into row-major work
// arrays once, runs the algorithm, and converts matrix results back.
// Results are -1 or a matrix library code; the tests give -1 / 0. A null
// matrix gives 15, a null scalar out-pointer 8, a count that is not positive
// (or whose element count passes 32 bits) 5. aDet, aInv, aDiv, aMultEx,
// aMultSq, aPow, aSwap and aGetXsOfQuadr also leave their result in the
// status code.
#pragma once

#include <cstdint>

namespace quadrel {

struct Engine;

namespace matrix_ops {

int32_t copy(Engine& e, const double* a, int32_t rows, int32_t cols, double* b);
int32_t sum(Engine& e, const double* a, int32_t rows, int32_t cols, const double* b, double* c, double sign);
int32_t addScalar(Engine& e, double* a, int32_t rows, int32_t cols, double s);
int32_t multiplyScalar(Engine& e, double* a, int32_t rows, int32_t cols, double s);
int32_t opposite(Engine& e, double* a, int32_t rows, int32_t cols);
int32_t multiplyEx(Engine& e, const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb, int32_t cb,
                   double* c);
int32_t multiplySquare(Engine& e, const double* a, int32_t n, const double* b, double* c);
int32_t multiplyVector(Engine& e, const double* a, int32_t rows, int32_t cols, const double* v, double* r);
int32_t power(Engine& e, const double* a, int32_t n, int32_t p, double* r);
int32_t transposeInPlace(Engine& e, double* a, int32_t rows, int32_t cols);
int32_t transposeInto(Engine& e, const double* a, int32_t rows, int32_t cols, double* b);
int32_t transposeSquare(Engine& e, double* a, int32_t n);
int32_t swap(Engine& e, double* a, int32_t rows, int32_t cols, double* b);
int32_t swapRowsOrColumns(Engine& e, double* a, int32_t rows, int32_t cols, int32_t byRows, int32_t i, int32_t j);
int32_t determinant(Engine& e, const double* a, int32_t n, double* out);
int32_t diagonal(Engine& e, double* a, int32_t n);
int32_t invert(Engine& e, double* a, int32_t n);
int32_t divide(Engine& e, const double* a, int32_t n, const double* b, double* c);
int32_t solve(Engine& e, const double* a, int32_t n, const double* b, double* x);
int32_t trace(Engine& e, const double* a, int32_t n, double* out);
int32_t norm(Engine& e, const double* v, int32_t n, double* out);
int32_t isZero(Engine& e, const double* a, int32_t n);
int32_t isUnit(Engine& e, const double* a, int32_t n);
int32_t isSingular(Engine& e, const double* a, int32_t n);
int32_t isOrthogonal(Engine& e, const double* a, int32_t n);
int32_t areOrthogonal(Engine& e, const double* a, int32_t n, const double* b);
int32_t areEqual(Engine& e, const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb, int32_t cb);
int32_t vectorCoefficients(Engine& e, const double* a, int32_t m, int32_t n, const double* y, double* c);
int32_t polynomialCoefficients(Engine& e, const double* p, int32_t points, int32_t coefficients, double* c);
int32_t polynomialValue(Engine& e, const double* x, const double* c, int32_t count, double* y);
int32_t quadraticRoots(Engine& e, const double* y, const double* c, int32_t count, double* x1, double* x2);

}  // namespace matrix_ops
}  // namespace quadrel
