// The named-matrix store: definitions from buffers and from text, lookups,
// listings, clean-up, the text forms and the caller's element order.
#include <memory>
#include <vector>

#include "core/matrix/element_order.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/matrix/matrix_text.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using M = std::vector<double>;

class MatrixStoreTest : public testing_support::EngineTest {
 protected:
  const MatrixRecord* record(TextView name) { return recordNamed(e, matrixKey(name)); }
  M values(TextView name) {
    const MatrixRecord* r = record(name);
    return r ? M(r->data, r->data + r->count()) : M();
  }
};

TEST_F(MatrixStoreTest, SetMatrixCases) {
  M first{1, 2, 3, 4, 5};
  EXPECT_EQ(setMatrixFromCaller(e, u" MV ", first.data(), 0, 5, false), 0);
  const MatrixRecord* r = record(u"mv");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->rows, 1);
  EXPECT_EQ(r->cols, 5);
  EXPECT_TRUE(r->vector());
  EXPECT_EQ(r->data, first.data());  // adopted
  EXPECT_EQ(e.errors.code, -1);

  // Same shape: copied into the record's own buffer, which it keeps.
  M second{9, 8, 7, 6, 5};
  EXPECT_EQ(setMatrixFromCaller(e, u"mv", second.data(), 1, 5, true), intptr_t(first.data()));
  EXPECT_EQ(first, second);

  // Another shape: the record takes the new buffer.
  M third{1, 2, 3, 4};
  setMatrixFromCaller(e, u"mv", third.data(), 2, 2, false);
  EXPECT_EQ(record(u"mv")->data, third.data());
  EXPECT_FALSE(record(u"mv")->vector());

  // Negative or overflowing shapes and null buffers store nothing.
  EXPECT_EQ(setMatrixFromCaller(e, u"bad", third.data(), -2, 2, false), 5);
  EXPECT_EQ(setMatrixFromCaller(e, u"bad", third.data(), 65536, 65536, false), 5);
  EXPECT_EQ(setMatrixFromCaller(e, u"bad", nullptr, 2, 2, false), 15);
  EXPECT_EQ(record(u"bad"), nullptr);
  EXPECT_EQ(e.matrix.store.size(), 1u);
}

TEST_F(MatrixStoreTest, AStoreBufferIsCopiedNeverShared) {
  ASSERT_EQ(setStrMatrix(e, u"a;2;2;1;2;3;4", false, false), 0);
  double* a = record(u"a")->data;
  setMatrixFromCaller(e, u"b", a, 3, 3, false);
  ASSERT_NE(record(u"b"), nullptr);
  EXPECT_NE(record(u"b")->data, a);
  EXPECT_EQ(values(u"b"), (M{1, 2, 3, 4, 0, 0, 0, 0, 0}));
  clearMatrixList(e, nullptr);
  EXPECT_EQ(e.matrix.store.size(), 0u);
}

TEST_F(MatrixStoreTest, StringMatrixCodesAndReports) {
  struct Case {
    const char16_t* text;
    intptr_t result;
    int32_t rows, cols;
  };
  const Case cases[] = {
      {u"ma;2;3;1;2;3;4;5;6", 0, 2, 3}, {u"mv;3;0;1;2;3", 1, 3, 1},
      {u"m;0;0;1", 11, 0, 0},           {u"m;2;2;1;2;3", 12, 0, 0},
      {u";2;2;1;2;3;4", 11, 0, 0},      {u"", 13, 0, 0},
      {u"m;-1;2;1;2", 11, 0, 0},        {u"m;99999999999;1;1", 11, 0, 0},
      {u"m;2;2;1;;3;4", 12, 0, 0},      {u"  mx ; 1 ; 2 ; 5,5 ; 7 ; 8 ;", 2, 1, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(setStrMatrix(e, c.text, false, false), c.result) << toUtf8(c.text);
    if (c.rows) {
      EXPECT_EQ(e.errors.code, -1);
    } else {
      EXPECT_EQ(e.errors.code, c.result);
    }
  }
  EXPECT_EQ(values(u"ma"), (M{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(values(u"mx"), (M{5, 7}));  // no evaluation: the leading number
  EXPECT_EQ(record(u"mv")->cols, 1);
  EXPECT_NE(log().find(u"Should be: 4, are: 3\r\nMatrixName = m\r\nrow = 2, col = 2\r\nvalue = ''\r\n"), Text::npos);
  EXPECT_NE(log().find(u"MatrixName = m\r\nrows = 0, cols = 0"), Text::npos);
  EXPECT_NE(log().find(u"Function Param = \r\n"), Text::npos);
  EXPECT_EQ(e.matrix.store.size(), 3u);
}

TEST_F(MatrixStoreTest, EvaluatedElementsStopAtTheFirstFailure) {
  setVar(u"x", u"3");
  ASSERT_EQ(setStrMatrix(e, u"m;1;3;x*2;sin(0);1,5", false, true), 0);
  EXPECT_EQ(values(u"m"), (M{6, 0, 1.5}));
  // A failing field leaves the record as it was.
  EXPECT_EQ(setStrMatrix(e, u"m;1;3;1;1/0;2", false, true), 8);
  setStrMatrix(e, u"[q];1;1;5", false, false);
  EXPECT_EQ(setStrMatrix(e, u"m;1;3;1;[q]*2;2", false, true), 13);
  EXPECT_EQ(e.matrix.store.size(), 2u);  // the field's temporaries are gone
  EXPECT_EQ(setStrMatrix(e, u"n;1;1;nosuch(1)", false, true), 4);
  EXPECT_EQ(values(u"m"), (M{6, 0, 1.5}));
  EXPECT_EQ(record(u"n"), nullptr);
}

TEST_F(MatrixStoreTest, FindMatrixFlags) {
  setStrMatrix(e, u"first;1;1;1", false, false);
  setStrMatrix(e, u"ma;1;2;1;2", false, false);
  int32_t rows = 0, cols = 0;
  EXPECT_EQ(findMatrix(e, u"  FIRST ", 34, &rows, &cols, false), 0);
  EXPECT_EQ(e.errors.code, -1);
  EXPECT_EQ(findMatrix(e, u"MA", 34, &rows, nullptr, false), 1);  // only rows written
  EXPECT_EQ(rows, 1);
  const intptr_t address = findMatrix(e, u"ma", 33, nullptr, &cols, false);
  EXPECT_EQ(address, intptr_t(record(u"ma")->data));
  EXPECT_EQ(cols, 2);
  // By the decimal text of the address; bit 8 wins over bit 32.
  EXPECT_EQ(findMatrix(e, addressText(record(u"ma")->data), 8 + 32 + 2, nullptr, nullptr, false), 1);
  const size_t logSize = log().size();
  EXPECT_EQ(findMatrix(e, u"missing", 34, &rows, &cols, false), 0);
  EXPECT_EQ(e.errors.code, 14);
  EXPECT_EQ(log().size(), logSize);
  EXPECT_EQ(findMatrix(e, u"ma", 32, nullptr, nullptr, true), 0);  // neither 1 nor 2
  EXPECT_EQ(e.errors.code, 14);
  EXPECT_NE(log().find(u"MatrName = ma"), Text::npos);
}

TEST_F(MatrixStoreTest, CopyOutAndClearMessages) {
  M row{1, 2, 3, 4, 5, 6}, out(6, 0.0);
  EXPECT_EQ(copyMatrixToCaller(e, nullptr, out.data(), 2, 3), 15);
  EXPECT_NE(log().find(u"SrcMemID = 0, *aDest = "), Text::npos);
  EXPECT_EQ(copyMatrixToCaller(e, row.data(), out.data(), 0, 3), 5);
  EXPECT_NE(log().find(u"rows = 0, cols = 3"), Text::npos);
  setElementOrder(e.matrix, 1);
  EXPECT_EQ(copyMatrixToCaller(e, row.data(), out.data(), 2, 3), -1);
  EXPECT_EQ(out, (M{1, 4, 2, 5, 3, 6}));  // the shape the right way round

  setElementOrder(e.matrix, 0);
  e.messages.mode = kMsgLog;
  setStrMatrix(e, u"keep;1;1;1", false, false);
  e.eval.inProgress = true;  // as during an evaluation: temporaries
  std::unique_ptr<double[]> t1(new double[1]{2}), t2(new double[1]{3});
  double* kept = t2.get();
  defineMatrix(e, u"t1", t1.get(), std::move(t1), 1, 1, false);
  defineMatrix(e, u"t2", kept, std::move(t2), 1, 1, false);
  e.eval.inProgress = false;
  EXPECT_TRUE(record(u"t1")->internal);
  EXPECT_FALSE(record(u"keep")->internal);
  EXPECT_EQ(clearMatrixList(e, kept), 1);
  EXPECT_NE(e.messages.log.find(u"\r\n\r\nClearMatrixList\r\narrList() = keep (" + addressText(record(u"keep")->data) +
                                u")   kept\r\narrList() = t1   internal - deleted\r\n"
                                u"arrList() = t2 (" +
                                addressText(kept) + u")   kept"),
            Text::npos);
  EXPECT_EQ(clearMatrixList(e, nullptr), 2);
  EXPECT_NE(e.messages.log.find(u"arrList() = keep   deleted"), Text::npos);
}

TEST_F(MatrixStoreTest, ListingText) {
  setStrMatrix(e, u"mv;2;1;1;2", false, false);
  const MatrixRecord* r = record(u"mv");
  const Text want = u"Matrix List: Count:1\r\n - Name: mv - nr. 1\r\n     Addr: " + addressText(r->data) +
                    u"\r\n     Internal: 0\r\n     rows: 2\r\n     cols: 1\r\n     index: 0\r\n     vector: -1";
  EXPECT_EQ(matrixListText(e, false), want + u"\r\n");
  EXPECT_EQ(matrixListText(e, true), want + u"     \r\nV(0)=1.0000\r\nV(1)=2.0000\r\n\r\n");
}

TEST_F(MatrixStoreTest, TextForms) {
  const M m{1, 2, 3, 4};
  EXPECT_EQ(printMatrix(e, m.data(), 2, 2, u"String", u"", u"M", u""),
            u"M\r\nA(0,0)=1.0000\tA(0,1)=2.0000\t\r\nA(1,0)=3.0000\tA(1,1)=4.0000\t");
  EXPECT_EQ(printMatrix(e, m.data(), 1, 3, u"String", u"0.0", u"", u";"), u"\r\nV(0)=1.0\r\nV(1)=2.0\r\nV(2)=3.0");
  EXPECT_EQ(printMatrix(e, m.data(), 0, 3, u"String", u"", u"T", u""), u"T\r\n");
  ASSERT_TRUE(platform.boxes.empty());
  printMatrix(e, m.data(), 1, 1, u"", u"", u"", u"");
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].caption, u"oTemar.dll");
  setElementOrder(e.matrix, 1);
  EXPECT_EQ(printMatrix(e, m.data(), 2, 2, u"String", u"0.", u"", u" "),
            u"\r\nA(0,0)=1 A(0,1)=3 \r\nA(1,0)=2 A(1,1)=4 ");

  Text buffer = u"12345";
  EXPECT_EQ(printMatrixInto(e, m.data(), 1, 1, u"String", u"", u"", u"", buffer.data()), 5);
  EXPECT_EQ(Text(buffer.c_str()), u"\r\nV(0");
  char16_t empty[2] = {0, u'x'};
  EXPECT_EQ(printMatrixInto(e, m.data(), 1, 1, u"String", u"", u"", u"", empty), 13);
  EXPECT_EQ(empty[1], u'x');  // capacity 0 writes nothing
  EXPECT_EQ(printMatrixInto(e, m.data(), 1, 1, u"String", u"", u"", u"", nullptr), 1);
}

}  // namespace
}  // namespace quadrel
