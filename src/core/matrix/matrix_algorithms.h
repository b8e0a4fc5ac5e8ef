// Dense matrix algorithms over row-major buffers: element (i, j) of an
// r x c matrix at i*c + j. No engine, no element-order conversion; callers
// convert at the library's boundary. Counts are positive (callers check).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/limits.h"

namespace quadrel::matrix {

// One of the determinants of Cramer's rule while the determinants share
// their elimination: the next member of its group (-1 after the last), where
// the right-hand side stands in its matrix (-1: its matrix is the group's
// own), and whether its determinant is the negated product of the group.
struct CramerMember {
  int next;
  int position;
  bool negative;
};

// Scratch buffers reused between calls so that the hot paths (determinants
// of minors, Cramer's columns) allocate nothing once warmed up.
struct Workspace {
  std::vector<double> scratch, minor, result, work, input, groups, determinants;
  std::vector<CramerMember> members;
};

// Pivots at or below this magnitude count as zero in the determinant; a
// determinant of order 4 or more below it is snapped to 0.
constexpr double kPivotTolerance = 1.0E-12;

// Determinant: closed forms for n <= 3, else elimination with column
// pivoting and the tolerance rules. The InPlace form destroys a.
double determinant(const double* a, int n, Workspace& ws);
double determinantInPlace(double* a, int n);

// Inverse by the adjugate: out(j, i) = (-1)^(i+j) det(minor(i, j)) / det.
// False (out untouched) when det is exactly 0. out may be a itself.
bool inverse(const double* a, int n, double* out, Workspace& ws);

// c (ra x cb) = a (ra x ca) times b (ca x cb); c must not overlap a or b.
void multiply(const double* a, int ra, int ca, const double* b, int cb, double* c);
// r (rows) = a (rows x cols) times v (cols); r must not overlap.
void multiplyVector(const double* a, int rows, int cols, const double* v, double* r);
// out (cols x rows) = transpose of a (rows x cols); out must not overlap.
void transpose(const double* a, int rows, int cols, double* out);
void transposeSquareInPlace(double* a, int n);

// Work estimates in the units of the work limits (multiply-adds, plus a
// fixed cost per determinant), as doubles so that no order overflows them.
inline double determinantWork(int n) { return double(n) * n * n / 3.0 + 64.0; }
// The adjugate: n^2 determinants of order n - 1.
inline double inverseWork(int n) { return double(n) * n * determinantWork(n - 1); }
// Cramer's rule: n + 1 determinants of order n.
inline double cramerWork(int n) { return (double(n) + 1.0) * determinantWork(n); }
// Normal equations of m points and n coefficients, then an inversion.
inline double leastSquaresWork(int m, int n) { return double(n) * n * m + inverseWork(n); }

// How many products of order n fit in workLimit (at least one).
inline int64_t powerProductLimit(int n, int64_t workLimit) {
  const int64_t cost = int64_t(n) * n * n + 64;
  return cost < workLimit ? workLimit / cost : 1;
}

// r = a^p for p >= 2 by the p - 1 products a^(k+1) = a^k a. The powers are
// compared bit for bit with an earlier one as they come: once they repeat
// (a fixed point, a permutation's cycle, all NaN...), the products left are
// known and skipped. False, r untouched, when the products needed would
// pass powerProductLimit(n, workLimit). r must not overlap a.
bool power(const double* a, int n, int64_t p, double* r, int64_t workLimit);

// The elimination of the determinant with a pivot threshold of exactly 0;
// a is left with its pivots on the diagonal and zeros elsewhere.
void diagonalForm(double* a, int n);

// Cramer's rule; false (x untouched) when det(a) is exactly 0.
bool solveCramer(const double* a, int n, const double* b, double* x, Workspace& ws);

// Least squares by the normal equations: c (n) with a (m x n) c ~ y (m).
// False (c untouched) when the normal matrix is singular.
bool leastSquares(const double* a, int m, int n, const double* y, double* c, Workspace& ws);

double trace(const double* a, int n);
double euclideanNorm(const double* v, int n);

// Value of c[0] + c[1] x + ... + c[count-1] x^(count-1), summed in order.
double polynomialValue(double x, const double* c, int count);

// Exchanges rows (byRows) or columns i and j, counted from 1; false when
// either lies outside the matrix.
bool swapRowsOrColumns(double* a, int rows, int cols, bool byRows, int i, int j);

// Element by element, within 1.0E-12.
bool nearlyEqual(const double* a, const double* b, size_t count);
bool nearlyIdentity(const double* a, int n);
bool isIdentity(const double* a, int n);

// Makes v hold at least n doubles and gives its data.
inline double* sized(std::vector<double>& v, size_t n) {
  if (v.size() < n)
    v.resize(n);
  return v.data();
}

}  // namespace quadrel::matrix
