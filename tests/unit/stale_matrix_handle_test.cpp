// Matrix handles that outlive their matrix: GetMatrixByLong and aShowByLong
// refuse an address the library has freed (code 15) instead of reading it,
// and more elements than a library matrix holds (code 5); callers' own
// buffers read as always. Run under AddressSanitizer (preset native-asan), a
// read of freed memory here fails the test.
#include <vector>

#include "core/matrix/matrix_store_ops.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class StaleMatrixHandleTest : public EngineTest {
 protected:
  void SetUp() override { ASSERT_GE(setStrMatrix(e, u"[a];2;2;1;2;3;4", false, false), 0); }

  // The handle of a formula's matrix result.
  const double* handleOf(TextView formula) {
    const testing_support::Outcome o = eval(formula);
    EXPECT_EQ(o.code, 1) << toUtf8(formula);
    return reinterpret_cast<const double*>(intptr_t(o.value));
  }

  int32_t copy(const double* handle, int32_t rows = 2, int32_t cols = 2) {
    double out[4] = {0, 0, 0, 0};
    return copyMatrixToCaller(e, handle, out, rows, cols);
  }
};

TEST_F(StaleMatrixHandleTest, AHandleReadsUntilTheNextEvaluation) {
  const double* handle = handleOf(u"[a]T");
  double out[4] = {0, 0, 0, 0};
  ASSERT_EQ(copyMatrixToCaller(e, handle, out, 2, 2), -1);
  EXPECT_EQ(out[1], 3.0);
  EXPECT_TRUE(readableBuffer(e, handle, 2, 2, u"aShowByLong"));

  // The next evaluation frees the temporary: the handle is refused.
  EXPECT_EQ(value(u"1+1"), 2.0);
  clearErrorLog(e);
  EXPECT_EQ(copy(handle), 15);
  EXPECT_EQ(e.errors.code, 15);
  EXPECT_NE(e.errors.log.find(u"GetMatrixByLong"), Text::npos);
  EXPECT_EQ(e.errors.log.find(u"Error nr. : -1"), Text::npos);
  EXPECT_FALSE(readableBuffer(e, handle, 2, 2, u"aShowByLong"));
  EXPECT_EQ(e.errors.code, 15);
}

TEST_F(StaleMatrixHandleTest, EveryWayOfFreeingIsKnown) {
  struct Row {
    const char16_t* what;
    void (*free)(Engine&);
  };
  const Row rows[] = {
      {u"another matrix result", [](Engine& en) { evaluate(en, u"[a]*2", true); }},
      {u"ClearMatrixList of temporaries", [](Engine& en) { clearMatrixList(en, nullptr); }},
      {u"ReSetRaRarevo", [](Engine& en) { resetEvaluator(en); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.what));
    ASSERT_GE(setStrMatrix(e, u"[a];2;2;1;2;3;4", false, false), 0);
    const double* handle = handleOf(u"[a]I");
    row.free(e);
    EXPECT_EQ(copy(handle), 15);
  }
}

TEST_F(StaleMatrixHandleTest, ARedefinedMatrixFreesItsOldBuffer) {
  const double* old = reinterpret_cast<const double*>(setStrMatrix(e, u"[b];2;2;1;2;3;4", true, false));
  ASSERT_EQ(copy(old), -1);
  // Another shape takes a new buffer; the old address is stale.
  ASSERT_GE(setStrMatrix(e, u"[b];1;3;1;2;3", false, false), 0);
  EXPECT_EQ(copy(old), 15);
}

TEST_F(StaleMatrixHandleTest, NoMoreElementsThanTheMatrixHolds) {
  const double* handle = handleOf(u"[a]*3");
  double out[9] = {};
  EXPECT_EQ(copyMatrixToCaller(e, handle, out, 3, 3), 5);
  EXPECT_FALSE(readableBuffer(e, handle, 2, 3, u"aShowByLong"));
  EXPECT_EQ(e.errors.code, 5);
  EXPECT_EQ(copyMatrixToCaller(e, handle, out, 1, 4), -1);
}

TEST_F(StaleMatrixHandleTest, CallersOwnBuffersKeepWorking) {
  // More freed temporaries than the library holds back (the oldest are
  // freed for real and forgotten), then buffers of the caller's own, which
  // may well land where one of those was.
  for (int k = 0; k < 1500; ++k) evaluate(e, u"[a]*" + intText(k), true);
  evaluate(e, u"1", true);
  std::vector<double> mine = {5, 6, 7, 8};
  double out[4] = {};
  EXPECT_EQ(copyMatrixToCaller(e, mine.data(), out, 2, 2), -1);
  EXPECT_EQ(out[3], 8.0);
  EXPECT_TRUE(readableBuffer(e, mine.data(), 2, 2, u"aShowByLong"));
  // Adopted by the store, a caller's buffer is the store's to read again.
  ASSERT_GE(defineMatrix(e, u"[mine]", mine.data(), nullptr, 2, 2, false), 0);
  EXPECT_EQ(copyMatrixToCaller(e, mine.data(), out, 2, 2), -1);
}

}  // namespace
}  // namespace quadrel
