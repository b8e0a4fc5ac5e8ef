// The command executor: line rules, command syntax, result blocks and counts,
// and the store commands' handling of their values.
#include "core/script/executor.h"

#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

class ExecutorTest : public EngineTest {
 protected:
  ExecOptions options;
  Text result;
  int32_t run(TextView script) { return execCommands(e, script, result, options); }
};

TEST_F(ExecutorTest, ExprBlockHasHeaderWithNoteAndResultLine) {
  e.script.decimals = 2;
  EXPECT_EQ(run(u"Expr = 2+3"), 1000);
  EXPECT_EQ(result, u"Ln 1: EXPR = 2+3:                     \r\n Result => Number = 5.00");
}

TEST_F(ExecutorTest, UnknownNamesCountAsErrorsAndBareLinesAreIgnored) {
  EXPECT_EQ(run(u"x = 5"), 1001);
  EXPECT_EQ(e.errors.code, kErrUndefinedCommand);
  EXPECT_EQ(result,
            u"Ln 1: Expression = :\r\n Result => ===> ERROR n. = 25: Undefined Command/Keyword    (Module: eval)");
  EXPECT_EQ(run(u"2+3"), 0);
  EXPECT_EQ(result, u"");
}

TEST_F(ExecutorTest, TrailingCommentIsRemovedBeforeTheCommandRuns) {
  EXPECT_EQ(run(u"Expr = 1/0 ' divide"), 1001);
  EXPECT_NE(result.find(u"EXPR = 1/0:"), Text::npos);
  EXPECT_NE(result.find(u"===> ERROR n. = 8: Division by zero"), Text::npos);
}

TEST_F(ExecutorTest, ResultsOnlyKeepsHeadersOfFailuresOnly) {
  options.resultsOnly = true;
  EXPECT_EQ(run(u"Expr = 2\r\nExpr = 1/0"), 2001);
  EXPECT_EQ(result.find(u"Ln 1"), Text::npos);
  EXPECT_EQ(result.substr(0, 24), u" Result => Number = 2.00");
  EXPECT_NE(result.find(u"Ln 2: EXPR = 1/0"), Text::npos);
}

TEST_F(ExecutorTest, NoLabelsEmptiesEveryLabel) {
  options.noLabels = true;
  run(u"Expr = 2");
  EXPECT_EQ(result, u"Ln 1: EXPR = 2:                     \r\n 2.0000");
}

TEST_F(ExecutorTest, EchoAndBangBlocksAreCopiedNotRun) {
  EXPECT_EQ(run(u"'' shown\r\n\\\\ open\r\nExpr = 9\r\nclose //\r\n!\\ bang\r\nVar = q ; 1\r\n!/ done\r\n' hidden"), 0);
  EXPECT_EQ(result, u"'' shown\r\n\\\\ open\r\nExpr = 9\r\nclose //\r\n!\\ bang\r\nVar = q ; 1\r\n!/ done");
  EXPECT_EQ(e.variables.find(u"q"), nullptr);
}

TEST_F(ExecutorTest, LineFilterRunsOnlyListedLinesWithTheirOwnNumbers) {
  options.filterLines = true;
  options.lineList = u";2;4;";
  EXPECT_EQ(run(u"Expr = 1\r\nExpr = 2\r\nExpr = 3\r\nExpr = 4"), 2000);
  EXPECT_NE(result.find(u"Ln 2: EXPR = 2"), Text::npos);
  EXPECT_NE(result.find(u"Ln 4: EXPR = 4"), Text::npos);
  EXPECT_EQ(result.find(u"Ln 1:"), Text::npos);
  options.lineOffset = 1;  // line j runs when j + offset is listed
  run(u"Expr = 1\r\nExpr = 2\r\nExpr = 3");
  EXPECT_NE(result.find(u"Ln 1: EXPR = 1"), Text::npos);
  EXPECT_NE(result.find(u"Ln 3: EXPR = 3"), Text::npos);
}

TEST_F(ExecutorTest, HexAndBinShowTheRoundedIntegerInTwosComplement) {
  run(u"Hex = 255\r\nBin = 5\r\nHex = -1\r\nHex = 0\r\nBin = 2.5");
  EXPECT_NE(result.find(u"Number = &FF\r\n"), Text::npos);
  EXPECT_NE(result.find(u"Number = !101\r\n"), Text::npos);
  EXPECT_NE(result.find(u"Number = &FFFFFFFFFFFFFFFF\r\n"), Text::npos);
  EXPECT_NE(result.find(u"Number = &0\r\n"), Text::npos);
  EXPECT_NE(result.find(u"Number = !10"), Text::npos);  // 2.5 rounds to even: 2
}

TEST_F(ExecutorTest, StoExprStoresFullPrecisionAndShowsTheDecimals) {
  EXPECT_EQ(run(u"StoExpr(third) = 1/3\r\nExpr = third*3"), 2000);
  EXPECT_NE(result.find(u"Ln 1: Expression = 1/3:                     \r\n Stored => Number third = 0.3333"),
            Text::npos);
  ASSERT_NE(e.variables.find(u"third"), nullptr);
  EXPECT_EQ(e.variables.find(u"third")->value, 1.0 / 3.0);
  EXPECT_NE(result.find(u"Number = 1.0000"), Text::npos);
  run(u"StoExpr(v; fileout; out.txt) = 2");
  EXPECT_NE(result.find(u"Expression = 2: (=>fileout out.txt)"), Text::npos);
}

TEST_F(ExecutorTest, VarAcceptsDecimalCommaAndBlanksButOnlyWholeNumbers) {
  EXPECT_EQ(run(u"Var = a ; 2,5\r\nVar = b ; 1 E5\r\nVar = c ; 1/3\r\nVar = d ; abc"), 4002);
  EXPECT_EQ(e.variables.find(u"a")->value, 2.5);
  EXPECT_EQ(e.variables.find(u"b")->value, 1e5);
  EXPECT_EQ(e.variables.find(u"c"), nullptr);
  EXPECT_EQ(e.variables.find(u"d"), nullptr);
  EXPECT_NE(result.find(u"Ln 3: Expression = c ; 1/3:"), Text::npos);
  EXPECT_NE(result.find(u"===> ERROR n. = 13: Invalid parameter/argument   (Module: eval)"), Text::npos);
  EXPECT_EQ(e.errors.code, kErrInvalidArgument);
}

TEST_F(ExecutorTest, FunctAndShowReachEveryKindOfName) {
  run(u"Var = x ; 3\r\nFunct = f ; x*2\r\nShow(x)\r\nShow(f)\r\nShow(pi)\r\nShow(nothing)\r\nExpr = f+1");
  EXPECT_NE(result.find(u"Ln 3: Show(x) => Number x = 3.0000\r\n"), Text::npos);
  EXPECT_NE(result.find(u"Ln 4: Show(f) => Function f = x*2\r\n"), Text::npos);
  EXPECT_NE(result.find(u"Ln 5: Show(pi) => Constant pi = 3.1416\r\n"), Text::npos);
  EXPECT_NE(result.find(u"Ln 6: Show(nothing) => ===> ERROR n. = 14: Matrix not defined/found"), Text::npos);
  EXPECT_NE(result.find(u"Number = 7.0000"), Text::npos);
  EXPECT_NE(e.errors.log.find(u"Matr Name: [nothing]"), Text::npos);
}

TEST_F(ExecutorTest, SettingCommandsReadIntegersInThreeBases) {
  run(u"Debug = $6\r\nErrorMsgs = %11\r\naElemOrderSet = 1");
  EXPECT_EQ(e.messages.mode, 6);
  EXPECT_EQ(e.errors.messagesFlag, 3);
  EXPECT_EQ(e.matrix.elementOrder, 1);
  run(u"aElemOrderEx = 0");
  EXPECT_EQ(result, u"Ln 1: aElemOrderEx = by Row");
  EXPECT_EQ(e.matrix.elementOrder, 0);
}

TEST_F(ExecutorTest, LoneCarriageReturnsAndLineFeedsAlsoEndLines) {
  EXPECT_EQ(run(u"Expr = 1\rExpr = 2\nExpr = 3"), 3000);
  EXPECT_NE(result.find(u"Ln 3: EXPR = 3"), Text::npos);
}

TEST_F(ExecutorTest, EmptyFormulaIsCountedButNotEvaluated) {
  EXPECT_EQ(run(u"Expr ="), 1000);
  EXPECT_EQ(result, u"Ln 1: EXPR = :                     \r\n Result => ");
}

}  // namespace
}  // namespace quadrel
