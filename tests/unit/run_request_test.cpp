// Runs that tell the truth: a selected text reaches the run untouched, handed
// over as a request or written /sel:'...' on otmEvalMain's command line;
// nothing of one run's text carries over to the next; a run reports its true
// counts however many lines fail.
#include "core/script/executor.h"
#include "core/script/script_state.h"
#include "script_entry_fixture.h"

namespace quadrel {
namespace {

using testing_support::contains;
using testing_support::ScriptEntryTest;

class RunRequestTest : public ScriptEntryTest {
 protected:
  void SetUp() override {
    ScriptEntryTest::SetUp();
    ASSERT_EQ(runText(u"Var = a;5\r\nVar = b;2"), kStatusOk);
  }

  // A run of text the way the plug-in hands it over: results only.
  int32_t runText(TextView text) {
    RunSettings r;
    r.selectionText = Text(text);
    r.runSelection = true;
    r.noHeader = true;
    r.resultsOnly = true;
    return runRequest(e, std::move(r));
  }
};

// Formulas with "/" followed by letters that begin options of the command
// line (/ab about, /ln lines, /de delete, /se selection, /o output).
struct SelectionRow {
  const char16_t* text;
  const char16_t* value;
};

constexpr SelectionRow kSelections[] = {
    {u"Expr = 1/abs(2)", u"0.5000"},
    {u"Expr = 1/ln(2)", u"1.4427"},
    {u"Expr = 90/deg", u"1.5708"},
    {u"Expr = a/b", u"2.5000"},
    {u"Expr = 2/4", u"0.5000"},
    {u"Expr = 8/ sec(0)", u"8.0000"},
    {u"Expr = 10/2 'it's half /o", u"5.0000"},
};

TEST_F(RunRequestTest, SelectedTextIsNeverReadAsOptions) {
  for (const SelectionRow& row : kSelections) {
    SCOPED_TRACE(toUtf8(row.text));
    const Text expected = u" Result => Number = " + Text(row.value) + u"\r\n";

    // The plug-in's way: a request.
    p.boxes.clear();
    EXPECT_EQ(runText(row.text), kStatusOk);
    EXPECT_EQ(e.script.resultText, expected);

    // An outside caller's way: the command line the plug-in used to build.
    EXPECT_EQ(run(u" /noh /sclp /nln /sel:'" + Text(row.text) + u"' /"), kStatusOk);
    EXPECT_EQ(e.script.resultText, expected);
    EXPECT_EQ(p.clipboard, expected);
    EXPECT_TRUE(p.boxes.empty()) << "a report was shown: " << toUtf8(p.boxes.front().text);
    EXPECT_FALSE(s.deleteOutputs);
    EXPECT_FALSE(s.filterLines);

    // Nothing the text held sticks to the next run.
    EXPECT_EQ(run(u" /noh /nln /sel:'Expr = 2+2' /"), kStatusOk);
    EXPECT_EQ(e.script.resultText, u" Result => Number = 4.0000\r\n");
  }
}

TEST_F(RunRequestTest, QuotedSelectionEndsAtTheLastQuoteBeforeOptions) {
  struct Row {
    const char16_t* line;
    const char16_t* selection;
    bool resultsOnly;
  };
  const Row rows[] = {
      {u"/sel:'Expr = 4/no' /", u"'Expr = 4/no'", false},
      {u"/sel:'Expr = 1 'note' /nln", u"'Expr = 1 'note'", true},
      {u"/SEL:'x/y' /nln /sclp", u"'x/y'", true},
      // Without a closing quote the pieces are read as before.
      {u"/sel:'Expr = 4/nln", u"'Expr = 4", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.line));
    s.resultsOnly = false;
    parse(row.line);
    EXPECT_EQ(s.selectionText, row.selection);
    EXPECT_EQ(s.resultsOnly, row.resultsOnly);
    EXPECT_TRUE(s.runSelection);
  }
}

TEST_F(RunRequestTest, EveryRequestStartsFromTheDefaults) {
  // An outside caller leaves options behind (they stay for its later calls).
  run(u"/nt /nln /del /lns:3 /sel:'Expr = 1' /");
  EXPECT_TRUE(s.deleteOutputs);
  EXPECT_TRUE(s.filterLines);

  RunSettings r;
  r.selectionText = u"Expr = 6*7";
  r.runSelection = true;
  r.noHeader = true;
  EXPECT_EQ(runRequest(e, std::move(r)), kStatusOk);
  EXPECT_EQ(e.script.resultText, u"Ln 1: EXPR = 6*7: " + Text(20, u' ') + u"\r\n Result => Number = 42.0000\r\n");
  EXPECT_FALSE(s.deleteOutputs);
  EXPECT_FALSE(s.filterLines);
  EXPECT_FALSE(s.noLabels);
  // The process-wide data folder stays.
  EXPECT_EQ(s.dataFolder, folder.text());
}

TEST_F(RunRequestTest, RequestTextKeepsItsQuotesAndSlashes) {
  // A script whose first line is a comment runs as written: the quote is no
  // command-line quote to take off.
  EXPECT_EQ(runText(u"' Expr = 1\r\nExpr = 8/2/"), kStatusOk);
  EXPECT_TRUE(contains(e.script.resultText, u"===> ERROR")) << toUtf8(e.script.resultText);
  EXPECT_FALSE(contains(e.script.resultText, u"Number = 1.0000"));
}

TEST_F(RunRequestTest, ARequestForAFileWritesResultBesideIt) {
  folder.put("calc.otm", "Expr = 1+1\r\n");
  RunSettings r;
  r.inputFile = folder.text() + u"calc.otm";
  r.readFromFile = true;
  r.writeToFile = true;
  EXPECT_EQ(runRequest(e, std::move(r)), kStatusOk);
  EXPECT_TRUE(folder.exists("Result.otm"));
  EXPECT_TRUE(contains(fromUtf8(folder.get("Result.otm")), u"Result => Number = 2.0000"));
}

TEST_F(RunRequestTest, ThousandFailingLinesAreCountedTruly) {
  Text script;
  for (int k = 0; k < 1000; ++k) script.append(u"Expr = (\r\n");
  script.append(u"Expr = 1\r\n");
  RunSettings r;
  r.selectionText = script;
  r.runSelection = true;
  EXPECT_EQ(runRequest(e, std::move(r)), kStatusOk);
  EXPECT_TRUE(contains(e.script.resultText, u"'Executed Commands: 1001, Errors found: 1000\r\n"));
  EXPECT_EQ(e.script.lastRunCommands, 1001);
  EXPECT_EQ(e.script.lastRunErrors, 1000);

  // The packed answer keeps its form: the errors stop at 999.
  Text result;
  RunCounters counts;
  EXPECT_EQ(execCommands(e, script, result, ExecOptions(), &counts), 1001 * 1000 + 999);
  EXPECT_EQ(counts.commands, 1001);
  EXPECT_EQ(counts.errors, 1000);
}

TEST(PackedCountsTest, ErrorsSaturateAndTheWholeStopsAtInt32) {
  struct Row {
    int64_t commands, errors;
    int32_t packed;
  };
  const Row rows[] = {
      {123, 2, 123002}, {1000, 999, 1000999},     {1000, 1000, 1000999},
      {5, 12345, 5999}, {3000000, 0, 2147483647}, {0, 0, 0},
  };
  for (const Row& row : rows) EXPECT_EQ(packedCounts({row.commands, row.errors}), row.packed) << row.errors;
}

}  // namespace
}  // namespace quadrel
