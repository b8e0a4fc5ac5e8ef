// The matrix operations as the exports run them: codes, the elimination and
// adjugate rules, both element orders, and the mended faults.
#include "core/matrix/matrix_library.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/matrix/element_order.h"
#include "core/matrix/matrix_algorithms.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using M = std::vector<double>;
using namespace matrix_ops;

class MatrixLibraryTest : public testing_support::EngineTest {
 protected:
  double det(M a, int n) {
    double d = -999;
    EXPECT_EQ(determinant(e, a.data(), n, &d), -1);
    return d;
  }
};

M scaledIdentity(int n, double s) {
  M m(size_t(n * n), 0.0);
  for (int i = 0; i < n; ++i) m[size_t(i * n + i)] = s;
  return m;
}

TEST_F(MatrixLibraryTest, DeterminantRules) {
  // The 1.0E-12 rules apply from order 4 only.
  EXPECT_EQ(det(scaledIdentity(4, 1e-4), 4), 0.0);
  EXPECT_DOUBLE_EQ(det(scaledIdentity(3, 1e-5), 3), 1e-15);
  EXPECT_EQ(det({0, 1, 1, 0}, 2), -1.0);
  EXPECT_EQ(det({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 4), -1.0);
  EXPECT_EQ(det({5}, 1), 5.0);
  EXPECT_EQ(det({2, 0, 1, 1, 3, 2, 1, 1, 1}, 3), 2 * (3 - 2) - 0 + 1 * (1 - 3));
  // A zero pivot row zeroes the determinant even when later pivots are large.
  EXPECT_EQ(det({0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 9, 1, 1, 2, 8}, 4), 0.0);
  // Column pivoting: the largest element of the row leads, first of equals.
  EXPECT_DOUBLE_EQ(det({1, 2, 3, 4, 5, 6, 7, 8, 2, 6, 4, 8, 3, 1, 1, 2}, 4), 72.0);
  EXPECT_EQ(e.script.status, -1);
  double d;
  EXPECT_EQ(determinant(e, nullptr, 2, &d), 15);
  EXPECT_EQ(e.script.status, 15);
  M a{1};
  EXPECT_EQ(determinant(e, a.data(), 0, &d), 5);
  EXPECT_EQ(determinant(e, a.data(), 1, nullptr), 8);
}

// The elimination as a textbook writes it: columns exchanged in every row,
// then each row below updated. Answers the determinant before snapping.
double textbookElimination(M& a, int n, double threshold) {
  auto at = [&](int r, int c) -> double& { return a[size_t(r * n + c)]; };
  double det = 1.0;
  for (int k = 0; k < n - 1; ++k) {
    int best = k;
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(at(k, i)) > std::fabs(at(k, best)))
        best = i;
    if (std::fabs(at(k, best)) <= threshold) {
      det = 0.0;
      continue;
    }
    if (best != k) {
      for (int r = 0; r < n; ++r) std::swap(at(r, k), at(r, best));
      det = -det;
    }
    det *= at(k, k);
    for (int j = k + 1; j < n; ++j) {
      const double factor = at(j, k) / at(k, k);
      for (int c = k + 1; c < n; ++c) at(j, c) -= factor * at(k, c);
    }
  }
  return det * at(n - 1, n - 1);
}

// The elimination never stores its column exchanges; determinants and the
// diagonal form must still be bit for bit those of the textbook elimination,
// whatever the exchanges, ties, skipped steps and non-finite values.
TEST_F(MatrixLibraryTest, EliminationEqualsTheTextbookOne) {
  struct Case {
    const char* name;
    double (*element)(int i, int j);
  };
  const Case cases[] = {
      {"exchanges everywhere", [](int i, int j) { return std::sin(1.0 + i * 3.1 + j * j * 0.9); }},
      {"small integers, ties", [](int i, int j) { return double((i * 5 + j * 3 + i * j) % 7 - 3); }},
      {"tiny rows skipped",
       [](int i, int j) { return (i % 3 == 1 && j > 1) ? 1e-13 * (j + 1) : std::cos(i * 1.7 + j * 0.3); }},
      {"a zero column", [](int i, int j) { return j == 2 ? 0.0 : std::sin(i * 0.8 + j * 2.3 + 0.5); }},
      {"infinity and NaN",
       [](int i, int j) {
         return i == 2 && j == 3 ? INFINITY : i == 5 && j == 1 ? std::nan("") : std::cos(i + j * 1.9);
       }},
  };
  for (const Case& c : cases)
    for (const int n : {4, 5, 6, 7, 8, 9, 12, 17, 24}) {
      M a(size_t(n * n));
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[size_t(i * n + j)] = c.element(i, j);
      M textbook = a;
      double want = textbookElimination(textbook, n, 1e-12);
      want = std::fabs(want) < 1e-12 ? 0.0 : want;
      const double got = det(a, n);
      if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << c.name << " n=" << n;
      } else {
        EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << c.name << " n=" << n << ": " << got << " " << want;
      }

      M diagonalWant = a, diagonalGot = a;
      textbookElimination(diagonalWant, n, 0.0);
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
          if (i != j)
            diagonalWant[size_t(i * n + j)] = 0.0;
      ASSERT_EQ(diagonal(e, diagonalGot.data(), n), -1);
      for (size_t k = 0; k < diagonalGot.size(); ++k) {
        if (!(std::isnan(diagonalWant[k]) && std::isnan(diagonalGot[k]))) {
          EXPECT_EQ(std::memcmp(&diagonalGot[k], &diagonalWant[k], sizeof(double)), 0)
              << c.name << " n=" << n << " " << k;
        }
      }
    }
}

TEST_F(MatrixLibraryTest, InverseDivisionAndSystems) {
  M a{4, 7, 2, 6};
  ASSERT_EQ(invert(e, a.data(), 2), -1);
  const M want{0.6, -0.7, -0.2, 0.4};
  for (size_t k = 0; k < 4; ++k) EXPECT_NEAR(a[k], want[k], 1e-15);

  M singular{1, 2, 2, 4};
  EXPECT_EQ(invert(e, singular.data(), 2), 7);
  EXPECT_EQ(e.script.status, 7);
  EXPECT_EQ(singular, (M{1, 2, 2, 4}));
  EXPECT_EQ(invert(e, singular.data(), 0), 5);

  M c(4, 9.0);
  EXPECT_EQ(divide(e, M{1, 2, 3, 4}.data(), 2, singular.data(), c.data()), 7);
  EXPECT_EQ(c, M(4, 0.0));  // zeros on failure
  // C = A times the inverse of B: A = B gives the identity.
  M b{2, 1, 1, 3};
  ASSERT_EQ(divide(e, b.data(), 2, b.data(), c.data()), -1);
  EXPECT_NEAR(c[0], 1, 1e-15);
  EXPECT_NEAR(c[1], 0, 1e-15);

  M x(2);
  ASSERT_EQ(solve(e, b.data(), 2, M{3, 5}.data(), x.data()), -1);
  EXPECT_NEAR(x[0], 0.8, 1e-15);
  EXPECT_NEAR(x[1], 1.4, 1e-15);
  EXPECT_EQ(solve(e, singular.data(), 2, M{3, 5}.data(), x.data()), 7);

  // The adjugate of order 5 takes its minors by elimination.
  M big{2, 1, 0, 0, 0, 1, 2, 1, 0, 0, 0, 1, 2, 1, 0, 0, 0, 1, 2, 1, 0, 0, 0, 1, 2};
  M inv = big;
  ASSERT_EQ(invert(e, inv.data(), 5), -1);
  M product(25);
  ASSERT_EQ(multiplySquare(e, big.data(), 5, inv.data(), product.data()), -1);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) EXPECT_NEAR(product[size_t(i * 5 + j)], i == j ? 1.0 : 0.0, 1e-12);
}

// The inverse shares the elimination between minors from order 5 on; every
// cofactor must be bit for bit the determinant of its minor from scratch,
// the snapping of tiny pivots and exchanged columns included.
TEST_F(MatrixLibraryTest, SharedCofactorsEqualMinorsFromScratch) {
  const int n = 6;
  M a(36);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) a[size_t(i * n + j)] = std::sin(1.0 + i * 7 + j * 3) + (i == j ? 2.0 : 0.0);
  a[7] = 1e-13;  // a pivot candidate below the tolerance
  a[8] = 5.0;    // a column exchange in row 1
  M inv(36);
  matrix::Workspace ws;
  ASSERT_TRUE(matrix::inverse(a.data(), n, inv.data(), ws));
  const double det = matrix::determinant(a.data(), n, ws);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      M minor;
      for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
          if (r != i && c != j)
            minor.push_back(a[size_t(r * n + c)]);
      const double want = ((i + j) % 2 ? -1.0 : 1.0) * matrix::determinantInPlace(minor.data(), n - 1) / det;
      EXPECT_EQ(std::memcmp(&inv[size_t(j * n + i)], &want, sizeof want), 0) << i << "," << j;
    }
}

// Cramer's rule shares the elimination between its determinants from order
// 4 on; each solution must be bit for bit det(A with column k = b) / det(A),
// whether b's column branches off early (large values) or late (small ones).
TEST_F(MatrixLibraryTest, SharedCramerEqualsDeterminantsFromScratch) {
  for (const double scale : {100.0, 1e-3, 1.0}) {
    const int n = 6;
    M a(36), b(6), x(6);
    for (int i = 0; i < n; ++i) {
      b[size_t(i)] = scale * std::cos(2.0 + i);
      for (int j = 0; j < n; ++j) a[size_t(i * n + j)] = std::sin(1.0 + i * 5 + j * 2) + (i == j ? 3.0 : 0.0);
    }
    a[2] = 3.0;  // an equal value in row 0: the first of equals wins
    matrix::Workspace ws;
    ASSERT_TRUE(matrix::solveCramer(a.data(), n, b.data(), x.data(), ws));
    const double det = matrix::determinant(a.data(), n, ws);
    for (int k = 0; k < n; ++k) {
      M work = a;
      for (int i = 0; i < n; ++i) work[size_t(i * n + k)] = b[size_t(i)];
      const double want = matrix::determinantInPlace(work.data(), n) / det;
      EXPECT_EQ(std::memcmp(&x[size_t(k)], &want, sizeof want), 0) << scale << " " << k;
    }
  }
}

// Elements without a low-rank pattern (the i * j term).
double wave(int i, int j) { return std::sin(1.0 + i * 0.7 + j * 1.3 + i * j * 0.37); }

// From order 9 Cramer's determinants share their elimination in groups;
// each solution must be bit for bit aDet(A with column k = b) / aDet(A), the
// determinants taken from scratch through the export. The cases steer the
// pivot searches: b winning at once or never, ties, rows below the 1.0E-12
// tolerance, b equal to a column, NaN and infinity.
TEST_F(MatrixLibraryTest, SystemsEqualDeterminantsFromScratch) {
  struct Case {
    const char* name;
    int n;
    double (*element)(int i, int j);  // j = n: b
  };
  const Case cases[] = {
      {"b leads", 12, [](int i, int j) { return j == 12 ? 50.0 * std::cos(i + 1.0) : wave(i, j); }},
      {"b small", 12, [](int i, int j) { return j == 12 ? 1e-3 * std::cos(i + 1.0) : wave(i, j); }},
      {"ties", 10, [](int i, int j) { return double((i * 7 + j * 3 + i * j) % 5 - 2 + (i == j ? 2 : 0)); }},
      {"a tiny row", 11,
       [](int i, int j) {
         // Row 1 is tiny but for column 0: once b leads, the shared base skips
         // that step while the carried column does not.
         if (j == 11)
           return i == 1 ? 0.0 : 50.0 * std::cos(i + 1.0);
         return (i == 1 && j > 0) ? 1e-14 * (j + 1) : wave(i, j);
       }},
      {"b is a column", 9,
       [](int i, int j) {
         const int column = j == 9 ? 4 : j;
         return std::sin(2.0 + i * 5 + column * 7) + (i == column ? 1.0 : 0.0);
       }},
      {"NaN and infinity in b", 9,
       [](int i, int j) {
         if (j == 9)
           return i == 3 ? INFINITY : i == 6 ? std::nan("") : std::cos(i + 1.0);
         return wave(i, j);
       }},
      {"order 40", 40, [](int i, int j) { return j == 40 ? std::cos(i + 1.0) : wave(i, j); }},
  };
  for (const Case& c : cases) {
    const int n = c.n;
    M a(size_t(n) * size_t(n)), b(static_cast<size_t>(n)), x(static_cast<size_t>(n), 99.0);
    for (int i = 0; i < n; ++i) {
      b[size_t(i)] = c.element(i, n);
      for (int j = 0; j < n; ++j) a[size_t(i * n + j)] = c.element(i, j);
    }
    const double d = det(a, n);
    ASSERT_NE(d, 0.0) << c.name;
    ASSERT_EQ(solve(e, a.data(), n, b.data(), x.data()), -1) << c.name;
    for (int k = 0; k < n; ++k) {
      M work = a;
      for (int i = 0; i < n; ++i) work[size_t(i * n + k)] = b[size_t(i)];
      const double want = det(work, n) / d;
      if (std::isnan(want))
        EXPECT_TRUE(std::isnan(x[size_t(k)])) << c.name << " " << k;
      else
        EXPECT_EQ(std::memcmp(&x[size_t(k)], &want, sizeof want), 0) << c.name << " " << k;
    }
  }
  // A singular matrix of a large order: code 7, x untouched.
  M singular(100, 1.0), x(10, 5.0);
  EXPECT_EQ(solve(e, singular.data(), 10, M(10, 1.0).data(), x.data()), 7);
  EXPECT_EQ(x, M(10, 5.0));
}

TEST_F(MatrixLibraryTest, ProductsPowersAndShapes) {
  M c(6, -1.0);
  EXPECT_EQ(multiplyEx(e, M(6, 1).data(), 2, 3, M(6, 1).data(), 2, 3, c.data()), 10);
  EXPECT_EQ(c, M(6, -1.0));  // untouched
  EXPECT_EQ(e.script.status, 10);
  M col{1, 2}, row{3, 4, 5};
  ASSERT_EQ(multiplyEx(e, col.data(), 2, 1, row.data(), 1, 3, c.data()), -1);
  EXPECT_EQ(c, (M{3, 4, 5, 6, 8, 10}));

  M r(4, 7.0);
  ASSERT_EQ(power(e, M{1, 1, 0, 1}.data(), 2, 3, r.data()), -1);
  EXPECT_EQ(r, (M{1, 3, 0, 1}));
  M untouched(4, 7.0);
  EXPECT_EQ(power(e, M{1, 1, 0, 1}.data(), 2, 1, untouched.data()), -1);
  EXPECT_EQ(untouched, M(4, 7.0));
  // Powers that repeat are known at once; one that would take too long is
  // refused with code 8 and leaves R untouched.
  M cycle(9);
  ASSERT_EQ(power(e, M{0, 1, 0, 0, 0, 1, 1, 0, 0}.data(), 3, 2147483647, cycle.data()), -1);
  EXPECT_EQ(cycle, (M{0, 1, 0, 0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(power(e, M{1, 1, 0, 1}.data(), 2, 2000000000, untouched.data()), 8);
  EXPECT_EQ(e.script.status, 8);
  EXPECT_EQ(untouched, M(4, 7.0));

  M v(2);
  ASSERT_EQ(multiplyVector(e, M{1, 2, 3, 4, 5, 6}.data(), 2, 3, M{1, 1, 1}.data(), v.data()), -1);
  EXPECT_EQ(v, (M{6, 15}));

  M t{1, 2, 3, 4, 5, 6};
  ASSERT_EQ(transposeInPlace(e, t.data(), 2, 3), -1);
  EXPECT_EQ(t, (M{1, 4, 2, 5, 3, 6}));

  M s{1, 2, 3, 4, 5, 6, 7, 8, 9};
  ASSERT_EQ(swapRowsOrColumns(e, s.data(), 3, 3, 1, 1, 3), -1);
  EXPECT_EQ(s, (M{7, 8, 9, 4, 5, 6, 1, 2, 3}));
  EXPECT_EQ(swapRowsOrColumns(e, s.data(), 3, 3, 0, 4, 1), 14);
  ASSERT_EQ(swapRowsOrColumns(e, s.data(), 3, 3, 0, 1, 2), -1);
  EXPECT_EQ(s, (M{8, 7, 9, 5, 4, 6, 2, 1, 3}));

  EXPECT_EQ(swap(e, nullptr, 1, 1, s.data()), 15);
  EXPECT_EQ(e.script.status, 15);

  M d{1, 2, 3, 4};
  ASSERT_EQ(diagonal(e, d.data(), 2), -1);
  // Row 0's largest is column 1: columns exchanged, pivots 2 then 3 - 4/2*1.
  EXPECT_EQ(d, (M{2, 0, 0, 1}));
}

TEST_F(MatrixLibraryTest, TestsCompareByValue) {
  const M identity{1, 0, 0, 1};
  EXPECT_EQ(isOrthogonal(e, identity.data(), 2), -1);
  EXPECT_EQ(isOrthogonal(e, M{0, 1, 0, 1, 0, 0, 0, 0, 1}.data(), 3), -1);
  const double c = std::cos(0.3), s = std::sin(0.3);
  EXPECT_EQ(isOrthogonal(e, M{c, -s, s, c}.data(), 2), -1);
  EXPECT_EQ(isOrthogonal(e, M(4, 0.0).data(), 2), 0);
  EXPECT_EQ(isOrthogonal(e, M{2, 0, 0, 1}.data(), 2), 0);
  EXPECT_EQ(areOrthogonal(e, M{c, -s, s, c}.data(), 2, M{c, s, -s, c}.data()), -1);
  EXPECT_EQ(areOrthogonal(e, identity.data(), 2, M{2, 0, 0, 1}.data()), 0);

  EXPECT_EQ(areEqual(e, M{0.0, 1}.data(), 1, 2, M{-0.0, 1}.data(), 1, 2), -1);
  EXPECT_EQ(areEqual(e, M{0.5, 1}.data(), 1, 2, M{0.25, 1}.data(), 1, 2), 0);
  EXPECT_EQ(areEqual(e, M{0, 1}.data(), 1, 2, M{0, 1}.data(), 2, 1), 4);

  EXPECT_EQ(isUnit(e, identity.data(), 2), -1);
  EXPECT_EQ(isUnit(e, M{1, 1e-300, 0, 1}.data(), 2), 0);
  EXPECT_EQ(isZero(e, M{0.0, -0.0, 0, 0}.data(), 2), -1);
  EXPECT_EQ(isSingular(e, M{1, 2, 2, 4}.data(), 2), -1);
  EXPECT_EQ(isSingular(e, identity.data(), 2), 0);
}

TEST_F(MatrixLibraryTest, FittingAndPolynomials) {
  M coeff(3, -1.0);
  const M points{0, 1, 2, 1, 3, 7};
  ASSERT_EQ(polynomialCoefficients(e, points.data(), 3, 3, coeff.data()), -1);
  for (double k : coeff) EXPECT_NEAR(k, 1.0, 1e-12);
  EXPECT_EQ(polynomialCoefficients(e, points.data(), 3, 4, coeff.data()), 12);
  EXPECT_EQ(polynomialCoefficients(e, points.data(), 3, 0, coeff.data()), 12);
  EXPECT_EQ(e.matrix.rawCopy, 0);

  // The raw-copy switch comes back to its previous value, the singular exit too.
  e.matrix.rawCopy = -1;
  M c2(2, 5.0);
  EXPECT_EQ(vectorCoefficients(e, M{1, 2, 2, 4, 3, 6}.data(), 3, 2, M{1, 2, 3}.data(), c2.data()), 7);
  EXPECT_EQ(c2, M(2, 5.0));
  EXPECT_EQ(e.matrix.rawCopy, -1);
  e.matrix.rawCopy = 0;

  double y = 0;
  ASSERT_EQ(polynomialValue(e, M{2}.data(), M{1, 1, 1}.data(), 3, &y), -1);
  EXPECT_EQ(y, 7.0);

  struct Case {
    M c;
    int count;
    double y;
    int32_t code;
    double x1, x2;
  };
  const Case cases[] = {
      {{-4, 0, 1}, 3, 0, -1, 2, -2},  {{1, 0, 1}, 3, 0, 13, 0, 0}, {{1, 2, 0}, 3, 0, 13, 0, 0},
      {{1, 2}, 2, 5, -1, 2, 0},       {{1, 0}, 2, 5, 13, 0, 0},    {{9}, 1, 4, -1, 4, 0},
      {{1, 2, 3, 4}, 4, 0, 13, 0, 0}, {{1}, 0, 1, 13, 0, 0},
  };
  for (const Case& k : cases) {
    double x1 = 99, x2 = 99;
    EXPECT_EQ(quadraticRoots(e, &k.y, k.c.data(), k.count, &x1, &x2), k.code) << k.count;
    EXPECT_EQ(e.script.status, k.code);
    EXPECT_EQ(x1, k.x1);
    EXPECT_EQ(x2, k.x2);
  }
}

TEST_F(MatrixLibraryTest, ColumnOrderConvertsOnceAtTheBoundary) {
  ASSERT_EQ(setElementOrder(e.matrix, 1), -1);
  // Column-major A = [[1,2],[3,4]] and B = [[0,1],[1,0]].
  const M a{1, 3, 2, 4}, b{0, 1, 1, 0};
  M c(4);
  ASSERT_EQ(multiplySquare(e, a.data(), 2, b.data(), c.data()), -1);
  EXPECT_EQ(c, (M{2, 4, 1, 3}));  // A B = [[2,1],[4,3]], by column
  ASSERT_EQ(divide(e, a.data(), 2, b.data(), c.data()), -1);
  EXPECT_EQ(c, (M{2, 4, 1, 3}));  // B is its own inverse
  M inv = a;
  ASSERT_EQ(invert(e, inv.data(), 2), -1);
  EXPECT_DOUBLE_EQ(inv[0], -2.0);  // inverse [[-2,1],[1.5,-0.5]], by column
  EXPECT_DOUBLE_EQ(inv[1], 1.5);
  M x(2);
  ASSERT_EQ(solve(e, a.data(), 2, M{5, 11}.data(), x.data()), -1);
  EXPECT_NEAR(x[0], 1, 1e-15);
  EXPECT_NEAR(x[1], 2, 1e-15);
  M src{1, 2, 3, 4, 5, 6}, dst(6);
  copyArray(e.matrix, src.data(), dst.data(), 2, 3);
  EXPECT_EQ(dst, (M{1, 3, 5, 2, 4, 6}));
  EXPECT_EQ(setElementOrder(e.matrix, 2), 17);
  EXPECT_EQ(e.matrix.elementOrder, -1);
  copyArray(e.matrix, src.data(), dst.data(), 2, 3);
  EXPECT_EQ(dst, src);
}

}  // namespace
}  // namespace quadrel
