// Formulas over named matrices: operators, suffixes, matrix functions, their
// codes and reports, the temporaries, and the mended faults.
#include <vector>

#include "core/eval/matrix_operands.h"
#include "core/matrix/element_order.h"
#include "core/matrix/matrix_store_ops.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using M = std::vector<double>;

class MatrixFormulaTest : public testing_support::EngineTest {
 protected:
  void SetUp() override {
    define(u"[mA];2;2;1;2;3;4");
    define(u"[mB];3;1;1;2;3");
    define(u"[mS];2;2;1;2;2;4");
    define(u"[mR];2;3;1;2;3;4;5;6");
    define(u"[c];2;1;1;2");
    define(u"[r];1;3;1;2;3");
  }
  void define(TextView text) { ASSERT_EQ(e.errors.code, setStrMatrix(e, text, false, false) >= 0 ? e.errors.code : 0); }

  // The elements and shape of a formula's matrix result.
  M matrix(TextView formula, int32_t rows, int32_t cols) {
    const testing_support::Outcome o = eval(formula);
    EXPECT_EQ(o.code, 1) << toUtf8(formula);
    if (o.code != 1)
      return {};
    const MatrixRecord* r = recordOfBuffer(e, reinterpret_cast<const double*>(intptr_t(o.value)));
    EXPECT_NE(r, nullptr);
    if (!r)
      return {};
    EXPECT_EQ(r->rows, rows) << toUtf8(formula);
    EXPECT_EQ(r->cols, cols) << toUtf8(formula);
    return M(r->data, r->data + r->count());
  }
  size_t storeSize() const { return e.matrix.store.size(); }
};

TEST_F(MatrixFormulaTest, ValuesOfOperatorsAndFunctions) {
  EXPECT_EQ(value(u"det([mA])"), -2.0);
  EXPECT_EQ(value(u"trace([mA])"), 5.0);
  EXPECT_EQ(value(u"det([mA]*[mA]T)+trace([mA]I)"), 4.0 - 2.5);
  EXPECT_EQ(matrix(u"[mA]*2", 2, 2), (M{2, 4, 6, 8}));
  EXPECT_EQ(matrix(u"-[mA]", 2, 2), (M{-1, -2, -3, -4}));
  EXPECT_EQ(matrix(u"[mA]+1", 2, 2), (M{2, 3, 4, 5}));
  EXPECT_EQ(matrix(u"[mA]-1", 2, 2), (M{0, 1, 2, 3}));
  EXPECT_EQ(matrix(u"10-[mA]", 2, 2), (M{9, 8, 7, 6}));  // number minus each element
  EXPECT_EQ(matrix(u"[mA]-[mA]T", 2, 2), (M{0, -1, 1, 0}));
  EXPECT_EQ(matrix(u"[mA]/2", 2, 2), (M{0.5, 1, 1.5, 2}));
  EXPECT_EQ(matrix(u"[mA]^-1", 2, 2), (M{-2, 1, 1.5, -0.5}));
  EXPECT_EQ(matrix(u"[mA]^0", 2, 2), (M{1, 0, 0, 1}));  // the identity, not A
  EXPECT_EQ(matrix(u"[mA]^1", 2, 2), (M{1, 2, 3, 4}));
  EXPECT_EQ(matrix(u"[mA]^2", 2, 2), (M{7, 10, 15, 22}));
  EXPECT_EQ(matrix(u"[mA]t", 2, 2), (M{1, 3, 2, 4}));
  EXPECT_EQ(matrix(u"[mR]T", 3, 2), (M{1, 4, 2, 5, 3, 6}));
  EXPECT_EQ(matrix(u"[mA]D", 2, 2), (M{2, 0, 0, 1}));
  EXPECT_EQ(matrix(u"2/[mA]", 2, 2), (M{-4, 2, 3, -1}));
  // A product larger than its left operand gets a buffer of its own size.
  EXPECT_EQ(matrix(u"[c]*[r]", 2, 3), (M{1, 2, 3, 2, 4, 6}));
  // Any r1 x c1 left operand over a square right one with c1 = r2.
  EXPECT_EQ(matrix(u"[c]T/[mA]", 1, 2), (M{1, 0}));
  EXPECT_EQ(matrix(u"[mA]/[mA]", 2, 2), (M{1, 0, 0, 1}));
  EXPECT_EQ(matrix(u"syst([mA];[c])", 2, 1), (M{0, 0.5}));
  EXPECT_EQ(matrix(u"syst([c];[mA])", 2, 1), (M{0, 0.5}));
  const M fit = matrix(u"vcoeff([mA];[c];1)", 2, 1);
  ASSERT_EQ(fit.size(), 2u);
  EXPECT_DOUBLE_EQ(fit[0], 0.7);  // (1*1 + 3*2) / (1 + 9), then a zero
  EXPECT_EQ(fit[1], 0.0);
  // Named matrices never change.
  EXPECT_EQ(matrix(u"[mA]", 2, 2), (M{1, 2, 3, 4}));
}

TEST_F(MatrixFormulaTest, CodesAndReports) {
  struct Case {
    const char16_t* formula;
    int32_t code;
    const char16_t* report;
  };
  const Case cases[] = {
      {u"[mA]^0,5", 9, u"Exponent of Matrix (es. [mA]^n) is not integer.\r\nExp = 0.5\r\n"},
      {u"[mA]^5000000000", 9, u"Exponent of Matrix"},
      {u"[mR]^2", 6, u"Dimensions: r1, c1 = 2, 3\r\n"},
      {u"[mA]*[mB]", 5, u"If A(r1, c1) * B(r2, c2) must be c1 = r2.\r\nc1 = 2\r\nr2 = 3\r\n"},
      {u"[mA]+[mB]", 5, u"Dimensions: r1, c1 = 2, 2\r\n            r2, c2 = 3, 1\r\n"},
      {u"[mB]-[mA]", 5, u"Dimensions: r1, c1 = 3, 1\r\n"},
      {u"det([mR])", 6, u"Dimensions: r1, c1 = 2, 3\r\n"},
      {u"trace([mR])", 6, u"Dimensions: r1, c1 = 2, 3\r\n"},
      {u"[mR]I", 6, u"Dimensions: r1, c1 = 2, 3\r\n"},
      {u"[mR]D", 6, u"Dimensions: r1, c1 = 2, 3\r\n"},
      {u"[mX]", 14, u"MatrName = [mx]"},
      {u"det(5)", 14, u"Matrix handle = 5"},
      {u"[mS]I", 7, u"It can not be inverted"},
      {u"[mS]^-2", 7, u"It can not be inverted"},
      {u"[mA]/[mS]", 7,
       u"Matrix is singolar (det = 0) or not squared. It can not be inverted\r\nr1, c1 = 2, 2\r\nr2, c2 = 2, 2\r\n"},
      {u"[mA]/[mR]", 7, u"It can not be inverted"},
      {u"[c]/[mA]", 5, u"c1 - r2 = 1 - 2\r\n"},
      {u"[mA]/0", 8, u"Divisor = 0"},
      {u"2^[mA]", 10, u"nnTp = 0\r\nn2Tp = 1\r\n"},
      {u"sin([mA])", 10, u"nnTp = 1"},
      {u"max(1;[mA])", 10, u"nnTp = 1"},
      {u"[mA] mod 2", 10, u"nnTp = 1"},
      {u"[mA]>1", 10, u"nnTp = 1"},
      {u"not [mA]", 10, u"nnTp = 1"},
      {u"syst([mA];[mA])", 10, u"Dimensions: r1, c1 = 2, 2\r\n            r2, c2 = 2, 2\r\n"},
      {u"syst([mA];[mB])", 5, u"Dimensions: r1, c1 = 2, 2\r\n"},
      {u"syst([mS];[c])", 7, u"singolar"},
      {u"vcoeff([c];[c];1)", 10, u"nnVect = -1\r\nn2Vect = -1\r\n"},
      {u"vcoeff([mA];[c];3)", 13, u"k = 3, m = 2\r\n"},
      {u"vcoeff([mA];[c];0)", 13, u"k = 0, m = 2\r\n"},
      {u"vcoeff([mA];[c];[mA])", 13, u"vcoeff"},
  };
  for (const Case& c : cases) {
    const size_t before = log().size();
    EXPECT_EQ(failure(c.formula), c.code) << toUtf8(c.formula);
    EXPECT_NE(log().find(c.report, before), Text::npos) << toUtf8(c.formula) << "\n" << toUtf8(log().substr(before));
  }
}

// A power takes its p - 1 products one by one; once the powers repeat, the
// rest is known, and an exponent that would need more work than the limit
// allows is refused with code 9 instead of running for minutes.
TEST_F(MatrixFormulaTest, PowersWithHugeExponents) {
  define(u"[mP];3;3;0;1;0;0;0;1;1;0;0");  // a cyclic permutation: P^3 = I
  define(u"[mQ];2;2;0;-1;1;0");           // a quarter turn: Q^4 = I
  define(u"[mE];2;2;1;0;0;0");            // idempotent
  define(u"[mN];2;2;0;1;0;0");            // nilpotent
  define(u"[mJ];2;2;1;1;0;1");            // J^p = [[1, p], [0, 1]] never repeats
  struct Case {
    const char16_t* formula;
    int32_t rows;
    M want;
  };
  const Case cases[] = {
      {u"[mP]^2147483647", 3, {0, 1, 0, 0, 0, 1, 1, 0, 0}},  // 2147483647 = 3k + 1
      {u"[mP]^2147483645", 3, {0, 0, 1, 1, 0, 0, 0, 1, 0}},
      {u"[mQ]^1000000001", 2, {0, -1, 1, 0}},
      {u"[mQ]^1000000002", 2, {-1, 0, 0, -1}},
      {u"[mQ]^-1000000000", 2, {1, 0, 0, 1}},
      {u"[mE]^999999999", 2, {1, 0, 0, 0}},
      {u"[mN]^1000000000", 2, {0, 0, 0, 0}},
      {u"[mJ]^1000", 2, {1, 1000, 0, 1}},
  };
  for (const Case& c : cases) EXPECT_EQ(matrix(c.formula, c.rows, c.rows), c.want) << toUtf8(c.formula);

  // A Markov matrix settles on its limit: a huge power is that fixed point,
  // bit for bit the same as a power taken far enough.
  define(u"[mK];2;2;0.5;0.5;0.25;0.75");
  const M limit = matrix(u"[mK]^1000000000", 2, 2);
  EXPECT_EQ(matrix(u"[mK]^5000", 2, 2), limit);
  ASSERT_EQ(limit.size(), 4u);
  EXPECT_NEAR(limit[0], 1.0 / 3.0, 1e-15);
  EXPECT_NEAR(limit[3], 2.0 / 3.0, 1e-15);

  const size_t before = log().size();
  EXPECT_EQ(failure(u"[mJ]^1000000000"), 9);
  EXPECT_NE(log().find(u"Exponent of Matrix (es. [mA]^n) too large", before), Text::npos);
  EXPECT_NE(log().find(u"Exp = 1000000000\r\n", before), Text::npos);

  // The limit counts products: with room for 10 products of order 2, J^11
  // is computed and J^12 refused.
  e.matrix.powerWorkLimit = 10 * (8 + 64);
  EXPECT_EQ(matrix(u"[mJ]^11", 2, 2), (M{1, 11, 0, 1}));
  EXPECT_EQ(failure(u"[mJ]^12"), 9);
  EXPECT_EQ(matrix(u"[mQ]^1000000003", 2, 2), (M{0, 1, -1, 0}));  // a cycle is still found
}

TEST_F(MatrixFormulaTest, TemporariesAreDeletedWhateverTheResult) {
  const size_t named = storeSize();
  for (const char16_t* f : {u"det([mA]*[mB])", u"det([mA]*[mA])", u"[mA]*[mA]+[mA]", u"[mX]+[mA]", u"1+"}) {
    eval(f);
    eval(u"det([mA]I)+trace([mA])");
    EXPECT_EQ(storeSize(), named) << toUtf8(f);
  }
  // A matrix result stays until the next evaluation, alone.
  EXPECT_EQ(eval(u"[mA]*[mA]T").code, 1);
  EXPECT_EQ(storeSize(), named + 1);
  value(u"1");
  eval(u"trace([mA])");
  EXPECT_EQ(storeSize(), named);
}

TEST_F(MatrixFormulaTest, ResultOfDeEvalOwnsACopy) {
  const EvalOutcome first = evaluateAllowingInfinity(e, u"[mA]*[c]", false);
  ASSERT_TRUE(first.isMatrix());
  const MatrixRecord* r = recordNamed(e, u"[mresult]");
  ASSERT_NE(r, nullptr);
  EXPECT_FALSE(r->internal);
  EXPECT_NE(intptr_t(r->data), intptr_t(first.value));
  EXPECT_EQ(M(r->data, r->data + r->count()), (M{5, 11}));
  // The result outlives its temporary, and a new one replaces it.
  value(u"det([mA])");
  evaluateAllowingInfinity(e, u"[mA]", false);
  r = recordNamed(e, u"[mresult]");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(M(r->data, r->data + r->count()), (M{1, 2, 3, 4}));
}

TEST_F(MatrixFormulaTest, ColumnOrderDoesNotReachFormulas) {
  ASSERT_EQ(setElementOrder(e.matrix, 1), -1);
  // Column-major 1 3 / 2 4 is [[1,2],[3,4]] once stored.
  double a[4] = {1, 3, 2, 4}, b[4] = {0, 1, 1, 0};
  setMatrixFromCaller(e, u"[x]", a, 2, 2, false);
  setMatrixFromCaller(e, u"[y]", b, 2, 2, false);
  EXPECT_EQ(matrix(u"[x]*[y]", 2, 2), (M{2, 1, 4, 3}));
  EXPECT_EQ(matrix(u"[x]/[y]", 2, 2), (M{2, 1, 4, 3}));
  EXPECT_EQ(value(u"det([x])"), -2.0);
}

TEST_F(MatrixFormulaTest, TheReportOfAnErrorIsSentWithTheParserBit) {
  e.messages.mode = kMsgLog;
  e.messages.showLevel = kShowParser;
  failure(u"[mA]*[mB]");
  EXPECT_NE(e.messages.log.find(u"If A(r1, c1) * B(r2, c2) must be c1 = r2."), Text::npos);
}

}  // namespace
}  // namespace quadrel
