// Failures that say what happened: the matrix library's reason for a matrix
// that cannot be inverted inside a formula, reports that name the code they
// report, and de_eval failing where e_eval fails.
#include "core/diag/message_channel.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/script/executor.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class FailureReportsTest : public EngineTest {
 protected:
  Text run(TextView script) {
    Text result;
    execCommands(e, script, result, ExecOptions());
    return result;
  }
};

TEST_F(FailureReportsTest, SingularMatrixInAFormulaShowsTheMatrixLibrarysReason) {
  const Text singular = u"Matrix singolar                (Module: aMatr)";
  struct Row {
    const char16_t* formula;
  };
  const Row rows[] = {{u"Expr = [s]I"}, {u"Expr = [a]/[s]"}, {u"Expr = 2*[s]I+[a]"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.formula));
    const Text result = run(u"Matr = [s];2;2;1;2;2;4\r\nMatr = [a];2;2;1;0;0;1\r\n" + Text(row.formula));
    EXPECT_NE(result.find(u"===> ERROR n. = 7: " + singular), Text::npos) << toUtf8(result);
    EXPECT_EQ(result.find(u"Parameter/Element Not Found"), Text::npos);
    EXPECT_NE(e.errors.log.find(u"Error nr. : 7, Description: " + singular), Text::npos);
  }
  // The current code's description says the same; an explicit code keeps
  // the evaluator's table.
  EXPECT_EQ(describe(e, -99, false), singular);
  EXPECT_EQ(describe(e, 7, false), u"Parameter/Element Not Found  (Module: eval)");
  // The next failure is the evaluator's own again.
  EXPECT_EQ(failure(u"[nothing]+1"), 14);
  EXPECT_EQ(describe(e, -99, false), describeCode(14));
  setErrorCode(e, 7);
  EXPECT_EQ(describe(e, -99, false), u"Parameter/Element Not Found  (Module: eval)");
}

TEST_F(FailureReportsTest, ReportsNameTheCodeTheyReport) {
  e.messages.showLevel |= kShowParser;
  const char16_t* formulas[] = {u"2+*3", u"(1", u"1+", u"vcoeff([a];[a];[a])"};
  ASSERT_GE(setStrMatrix(e, u"[a];2;2;1;0;0;1", false, false), 0);
  for (const char16_t* formula : formulas) {
    SCOPED_TRACE(toUtf8(formula));
    clearErrorLog(e);
    EXPECT_GT(failure(formula), 0);
    EXPECT_FALSE(e.errors.log.empty());
    EXPECT_EQ(e.errors.log.find(u"Error nr. : -1"), Text::npos) << toUtf8(e.errors.log);
  }
}

TEST_F(FailureReportsTest, DeEvalOfAnOverflowGivesEEvalsCode) {
  const char16_t* formulas[] = {u"10^400", u"2^2000*3", u"(10^200)*(10^200)"};
  for (const char16_t* formula : formulas) {
    SCOPED_TRACE(toUtf8(formula));
    const int32_t code = failure(formula);
    EXPECT_EQ(code, kErrDivisionByZero);
    EXPECT_EQ(deEvalAnswer(evaluateKeepingResult(e, formula, true)), double(code));
    EXPECT_EQ(e.errors.code, code);
  }
  // A finite value is still a value.
  EXPECT_EQ(deEvalAnswer(evaluateKeepingResult(e, u"10^300/10^299", true)), 10.0);
}

}  // namespace
}  // namespace quadrel
