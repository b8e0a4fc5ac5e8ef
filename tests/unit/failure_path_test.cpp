// The one failure path: what a raised failure leaves in the error code, its
// description and the error log, for each choice a caller has (a pending
// failure stands or is replaced, the table that describes the code, a
// report or none), and the matrix library's codes as the evaluator reports
// them.
#include "core/ground/failure.h"
#include "core/ground/legacy_names.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::occurrences;

class FailurePathTest : public EngineTest {};

const Text kNotFound = u"Parameter/Element Not Found  (Module: eval)";
const Text kSingular = u"Matrix singolar                (Module: aMatr)";
const Text kDivision = u"Division by zero             (Module: eval & sDiff)";

TEST_F(FailurePathTest, PendingFailureStandsOrIsReplacedAsTheCallerChooses) {
  struct Row {
    const char* what;
    bool pendingFirst;  // a failure with code 8 is raised before
    Pending pending;
    FailureModule module;
    bool reported;
    int32_t code;         // e_error afterwards
    const Text* current;  // description of the current code
    size_t reports;       // blocks in the log
  };
  const Row rows[] = {
      {"nothing pending, stands", false, Pending::Stands, FailureModule::Evaluator, true, 7, &kNotFound, 1},
      {"nothing pending, replaces", false, Pending::Replaced, FailureModule::Evaluator, true, 7, &kNotFound, 1},
      {"pending stands", true, Pending::Stands, FailureModule::Evaluator, true, 8, &kDivision, 1},
      {"pending replaced", true, Pending::Replaced, FailureModule::Evaluator, true, 7, &kNotFound, 2},
      {"matrix library's words", false, Pending::Stands, FailureModule::MatrixLibrary, true, 7, &kSingular, 1},
      {"code without a report", false, Pending::Replaced, FailureModule::Evaluator, false, 7, &kNotFound, 0},
      {"pending replaced silently", true, Pending::Replaced, FailureModule::Evaluator, false, 7, &kNotFound, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    clearErrorCode(e);
    clearErrorLog(e);
    if (row.pendingFirst)
      fail(e, {kErrDivisionByZero, u"First", 1, u"first\r\n"}, Pending::Stands);
    Failure f{kErrNotFound, u"Second", 2, u"second\r\n", row.module};
    f.reported = row.reported;
    fail(e, f, row.pending);
    EXPECT_EQ(e.errors.code, row.code);
    EXPECT_EQ(describe(e, -99, false), *row.current);
    EXPECT_EQ(occurrences(log(), u"\r\nProcedure : '"), row.reports);
    const bool secondReported = row.reported && !(row.pendingFirst && row.pending == Pending::Stands);
    EXPECT_EQ(
        log().find(u"Procedure : 'Second (Line: 2)'\r\nError nr. : 7, Description: " + *row.current) != Text::npos,
        secondReported)
        << toUtf8(log());
  }
}

TEST_F(FailurePathTest, AReportCarriesTheFailureAndWhereTheLexerStands) {
  eval(u"1+2");
  fail(e, {kErrInvalidArgument, u"Proc", 77, u"Value = 3\r\n"}, Pending::Replaced);
  Text expected =
      u"\r\nProcedure : 'Proc (Line: 77)'\r\nError nr. : 13, Description: "
      u"Invalid parameter/argument   (Module: eval)\r\nValue = 3\r\n\r\nExtended Error Info:\r\n"
      u"  expression  : 1+2\r\n  ";
  for (const Text& part : {Text(e.lexer.rulerLine()), Text(u"\r\n  element     : "), Text(e.lexer.element()),
                           Text(u"\r\n  type/token  : "), Text(e.lexer.tokenType()), Text(u"\r\n  remaining   : "),
                           Text(e.lexer.remaining()), Text(u"\r\n\r\n")})
    expected += part;
  EXPECT_EQ(log(), expected);
}

TEST_F(FailurePathTest, MatrixLibraryCodesKeepTheirNumberAndTheirOwnWords) {
  struct Row {
    MatrixCode code;
    const char16_t* description;
  };
  const Row rows[] = {
      {kMatOrdersNotEqual, u"Orders not equal               (Module: aMatr)"},
      {kMatNotSquare, u"Matrix not squared             (Module: aMatr)"},
      {kMatSingular, u"Matrix singolar                (Module: aMatr)"},
      {kMatNotDefined, u"Matrix not defined            (Module: aMatr)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(int(row.code));
    clearErrorCode(e);
    const Failure f = matrixLibraryFailure(row.code, u"Calc", 5, u"");
    EXPECT_EQ(f.module, FailureModule::MatrixLibrary);
    fail(e, f, Pending::Stands);
    EXPECT_EQ(e.errors.code, int32_t(row.code));
    EXPECT_EQ(describe(e, -99, false), row.description);
    // The same number given explicitly reads in the evaluator's table.
    EXPECT_EQ(describe(e, int32_t(row.code), false), describeCode(int32_t(row.code)));
  }
  // The next failure of the evaluator is described in its own words again.
  fail(e, {kErrNotFound, u"Next", 1, u""}, Pending::Replaced);
  EXPECT_EQ(describe(e, -99, false), kNotFound);
}

TEST_F(FailurePathTest, EveryMatrixLibraryTextCarriesItsModuleName) {
  const Text tag = Text(u"(Module: ") + Text(kMatrixModuleName) + u")";
  for (int entry = kMatrixBase - 1; entry < kEvalBase; ++entry) {
    const TextView text = messageEntry(entry);
    if (text.empty())
      continue;
    SCOPED_TRACE(entry);
    EXPECT_EQ(text.substr(text.size() - tag.size()), tag);
  }
}

TEST_F(FailurePathTest, StatusCodesHaveTheirTexts) {
  struct Row {
    int32_t status;
    const char16_t* text;
  };
  const Row rows[] = {
      {kStatusOpenError, u"File Open Error (not found?)"},
      {kStatusWriteError, u"File Write Error (already in use?)"},
      {kStatusCancelled, u"Operation vancelled by user"},
      {kStatusInvalidParameter, u"Invalid Parameter."},
      {kStatusOk, u""},
      {kStatusRunRefused, u""},
  };
  for (const Row& row : rows) EXPECT_EQ(statusText(row.status), TextView(row.text)) << row.status;
}

}  // namespace
}  // namespace quadrel
