// The message table, descriptions of codes, status texts and the layout of
// the reports in the error log.
#include <climits>

#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::occurrences;
using testing_support::withoutLineNumbers;

class Errors : public EngineTest {};

struct Described {
  int32_t code;
  const char16_t* text;
};

const char16_t kUndefinedCommand[] = u"Undefined Command/Keyword    (Module: eval)";

TEST_F(Errors, DescriptionsOfTheThreeModules) {
  // Evaluator codes as they are; a matrix code m as m - 29; a differentiation
  // code d as d + 30.
  const Described cases[] = {
      {-1, u"No Error                     (Module: aMatr)"},
      {0, u"Undefined error (exit before completion) (Module: eval)"},
      {1, u"Ambiguous function name      (Module: eval)"},
      {2, u"Evaluator syntax error       (Module: eval)"},
      {3, u"Parser syntax error          (Module: eval)"},
      {4, u"Undefined function           (Module: eval)"},
      {5, u"Returned Value not defined   (Module: eval)"},
      {6, u"Token match / syntax error   (Module: eval)"},
      {7, u"Parameter/Element Not Found  (Module: eval)"},
      {8, u"Division by zero             (Module: eval & sDiff)"},
      {9, u"Expression/value not integer (Module: eval)"},
      {10, u"Condition/Matrix not found   (Module: eval)"},
      {11, u"Wrong string matrix          (Module: eval)"},
      {12, u"No enought matrix elements   (Module: eval)"},
      {13, u"Invalid parameter/argument   (Module: eval)"},
      {14, u"Matrix not defined/found     (Module: eval)"},
      {16, u"Undefined Custom Variable    (Module: eval)"},
      {17, u"Undefined Custom Function    (Module: eval)"},
      {18, u"Undefined Constant           (Module: eval)"},
      {25, kUndefinedCommand},
      {-30, u"No Error                       (Module: aMatr)"},
      {-29, u"Undefined error (exit before completion) (Module: aMatr)"},
      {-25, u"Orders not equal               (Module: aMatr)"},
      {-24, u"Orders not valid               (Module: aMatr)"},
      {-23, u"Matrix not squared             (Module: aMatr)"},
      {-22, u"Matrix singolar                (Module: aMatr)"},
      {-21, u"Invalid Parameter              (Module: aMatr)"},
      {-20, u"Vector expected not Matrix     (Module: aMatr)"},
      {-19, u"Wrong Matrix rank              (Module: aMatr)"},
      {-18, u"Wrong vector of points         (Module: aMatr)"},
      {-17, u"Rank of matrix of coeff. > n-2 (Module: aMatr)"},
      {-16, u"System without Solutions      (Module: aMatr)"},
      {-15, u"Wrong SWAP Row or Col         (Module: aMatr)"},
      {-14, u"Matrix not defined            (Module: aMatr)"},
      {-13, u"Matrix is Zero                (Module: aMatr)"},
      {-12, u"Invalid aElemOrder            (Module: aMatr)"},
      {29, u"No Error                     (Module: sDiff)"},
      {30, u"Undefined error (procedure exit before completion)  (Module: sDiff)"},
      {31, u"Too Long Formula             (Module: sDiff)"},
      {32, u"Wrong Number                 (Module: sDiff)"},
      {33, u"Wrong First Operand          (Module: sDiff)"},
      {34, u"Wrong Brackets               (Module: sDiff)"},
      {35, u"Wrong Power Nr (x^?)         (Module: sDiff)"},
      {36, u"Error in formula             (Module: sDiff)"},
      {37, u"Empty Formula                (Module: sDiff)"},
  };
  for (const Described& c : cases) EXPECT_EQ(describe(e, c.code, false), Text(c.text)) << c.code;

  // Entries without text, up to entry 200 (code 170).
  for (int32_t code : {15, 19, 22, 24, -28, -26, -11, -2, 26, 28, 38, 70, 71, 170})
    EXPECT_EQ(describe(e, code, false), u"") << code;
  // Entries outside 0 to 200 read as code 25.
  for (int32_t code : {171, 500, -31, -98, -100, INT32_MAX, INT32_MIN})
    EXPECT_EQ(describe(e, code, false), Text(kUndefinedCommand)) << code;
}

TEST_F(Errors, CurrentCodeAndDetails) {
  // -99 describes the current code.
  EXPECT_EQ(failure(u"1/0"), kErrDivisionByZero);
  EXPECT_EQ(describe(e, -99, false), Text(u"Division by zero             (Module: eval & sDiff)"));
  e.errors.code = 500;
  EXPECT_EQ(describe(e, -99, false), Text(kUndefinedCommand));
  Engine fresh(platform);
  EXPECT_EQ(describe(fresh, -99, false), Text(u"Undefined error (exit before completion) (Module: eval)"));
  EXPECT_EQ(describe(fresh, 8, true), Text(u"Division by zero             (Module: eval & sDiff) | "));

  // Details append the whole log, also to empty texts.
  failure(u"foo");
  EXPECT_EQ(occurrences(log(), u"\r\nProcedure : '"), 2u);
  EXPECT_EQ(describe(e, 4, true), Text(u"Undefined function           (Module: eval) | ") + log());
  EXPECT_EQ(describe(e, 15, true), u" | " + log());
}

TEST_F(Errors, StatusTexts) {
  const Described cases[] = {
      {-2, u"File Open Error (not found?)"},
      {-3, u"File Write Error (already in use?)"},
      {-4, u"Operation vancelled by user"},
      {-5, u"Invalid Parameter."},
      {-6, u"Instance Quit OK"},
      {-7, u"API Error"},
      {-8, u"Window not Found"},
      {-9, u"Child Window Not Found"},
      {-1, u""},
      {0, u""},
      {-10, u""},
  };
  for (const Described& c : cases) EXPECT_EQ(Text(statusText(c.code)), Text(c.text)) << c.code;
}

TEST_F(Errors, ReportOfAnUndefinedFunction) {
  EXPECT_EQ(failure(u"12 + foo*2"), kErrUndefinedFunction);
  const Text extended =
      u"Undefined Function = foo\r\n"
      u"\r\nExtended Error Info:\r\n"
      u"  expression  : 12 + foo*2\r\n"
      u"  pos(004)    = ----|\r\n"
      u"  element     : foo\r\n"
      u"  type/token  : id\r\n"
      u"  remaining   : *2\r\n";
  EXPECT_EQ(withoutLineNumbers(log()),
            u"\r\nProcedure : 'e_function (Line: #)'\r\n"
            u"Error nr. : 4, Description: Undefined function           (Module: eval)\r\n" +
                extended + u"\r\n");
  EXPECT_EQ(e.errors.extendedInfo, extended);
}

TEST_F(Errors, ReportOfLeftOverInput) {
  EXPECT_EQ(failure(u"2(3)"), kErrEvaluatorSyntax);
  EXPECT_EQ(withoutLineNumbers(log()),
            u"\r\nProcedure : 'e_eval (Line: #)'\r\n"
            u"Error nr. : 2, Description: Evaluator syntax error       (Module: eval)\r\n"
            u"\r\nExtended Error Info:\r\n"
            u"  expression  : 2(3)\r\n"
            u"  pos(001)    = -|\r\n"
            u"  element     : (\r\n"
            u"  type/token  : (\r\n"
            u"  remaining   : 3)\r\n"
            u"\r\n");
}

TEST_F(Errors, AddedReports) {
  value(u"12+3");
  e.errors.code = kErrDivisionByZero;
  const size_t length = addReport(e, u"MyProc", 42, u"X = 1");
  const Text expected =
      u"\r\nProcedure : 'MyProc (Line: 42)'\r\n"
      u"Error nr. : 8, Description: Division by zero             (Module: eval & sDiff)\r\n"
      u"X = 1\r\n"
      u"Extended Error Info:\r\n"
      u"  expression  : 12+3\r\n"
      u"  pos(004)    = ----|\r\n"
      u"  element     : \r\n"
      u"  type/token  : \r\n"
      u"  remaining   : \r\n"
      u"\r\n";
  EXPECT_EQ(log(), expected);
  EXPECT_EQ(length, expected.size());

  // The next report is appended; codes without text and negative lines as they are.
  e.errors.code = -7;
  const size_t total = addReport(e, u"", -3, u"");
  EXPECT_EQ(total, log().size());
  const Text second = u"\r\nProcedure : ' (Line: -3)'\r\nError nr. : -7, Description: \r\n\r\nExtended Error Info:";
  EXPECT_EQ(log().substr(expected.size(), second.size()), second);
}

TEST_F(Errors, RulerGrowsPastThreeDigits) {
  EXPECT_EQ(failure(u"1" + Text(1000, u' ') + u"+foo"), kErrUndefinedFunction);
  EXPECT_NE(log().find(u"\r\n  pos(1002)    = " + Text(1002, u'-') + u"|\r\n"), Text::npos);
}

TEST_F(Errors, LogGrowsUntilReset) {
  value(u"1+1");
  EXPECT_TRUE(log().empty()) << "a success reports nothing";
  failure(u"1/0");
  EXPECT_EQ(log().find(u"\r\nProcedure : 'CalcMatrixDivMult (Line: "), 0u);
  failure(u"ln(-1)");
  failure(u"(");
  EXPECT_EQ(occurrences(log(), u"\r\nProcedure : '"), 2u) << "code 3 writes no report by default";
  resetEvaluator(e);
  EXPECT_TRUE(log().empty());
  EXPECT_TRUE(e.errors.extendedInfo.empty());
}

TEST_F(Errors, ParserMessagesWithShowLevel) {
  e.messages.mode = kMsgBox;
  EXPECT_EQ(failure(u"1+*2"), kErrParserSyntax);
  setBoolSign(e, 3);
  EXPECT_TRUE(platform.boxes.empty()) << "quiet without the show level";

  e.messages.showLevel = kShowParser;
  EXPECT_EQ(failure(u"1+*2"), kErrParserSyntax);
  // The report is written after the code is set: it names the code.
  EXPECT_NE(log().find(u"\r\nProcedure : 'e_prs (Line: "), Text::npos);
  EXPECT_NE(log().find(u"Error nr. : 3, Description: Parser syntax error          (Module: eval)\r\n"), Text::npos);
  EXPECT_EQ(log().find(u"Error nr. : -1"), Text::npos);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].caption, u"RaRarevo: Error");
  EXPECT_EQ(platform.boxes[0].text, u"Procedure: e_prs\r\nSyntax error, token = '*'\r\n\r\nDebug:\r\n" + log());

  setBoolSign(e, 3);
  ASSERT_EQ(platform.boxes.size(), 2u);
  EXPECT_EQ(platform.boxes[1].text, u"Procedure: SetBoolSign\r\nWrong parameter. Must be 1 or -1");
  EXPECT_EQ(value(u"1<2"), -1);

  resetEvaluator(e);  // clears the show level
  EXPECT_EQ(failure(u"1+*2"), kErrParserSyntax);
  EXPECT_TRUE(log().empty());
}

TEST_F(Errors, TraceLeavesResultsAlone) {
  e.messages.showLevel = kShowTrace;
  e.messages.mode = kMsgLog;
  setVar(u"v", u"1e-12");
  EXPECT_EQ(value(u"v*1000000000000+sum(1;2)"), 1e-12 * 1e12 + 3);
  const Text& trace = e.messages.log;
  EXPECT_GT(occurrences(trace, u"||| e_prs("), 0u);
  EXPECT_EQ(failure(testing_support::repeat(u"(", 5000)), kErrParserSyntax);
  EXPECT_EQ(occurrences(trace, u") ENTER |||"), occurrences(trace, u") EXIT |||"));
}

}  // namespace
}  // namespace quadrel
