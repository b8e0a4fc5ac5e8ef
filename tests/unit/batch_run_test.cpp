// Batch run: the header block around the executor's result, the summary
// log line, the log sink in file and window mode, the closing line and the
// progress display.
#include "core/script/batch_run.h"

#include <cstdint>

#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::TempFolder;

class BatchRunTest : public ::testing::Test {
 protected:
  HeadlessPlatform p;
  Engine e{p};
  TempFolder folder;

  void SetUp() override {
    p.fixedTime = true;
    p.time = {2026, 12, 7, 14, 5, 9};
  }

  static Text version() {
    return intText(QUADREL_VERSION_MAJOR) + u"." + intText(QUADREL_VERSION_MINOR) + u"." +
           intText(QUADREL_VERSION_PATCH) + u"." + intText(QUADREL_VERSION_TWEAK);
  }

  // What the executor alone makes of a script, on a twin engine.
  static Text executorResult(TextView script, int32_t& code) {
    HeadlessPlatform twinPlatform;
    Engine twin(twinPlatform);
    Text result;
    code = execCommands(twin, script, result, ExecOptions());
    return result;
  }
};

TEST_F(BatchRunTest, HeaderBlockLayout) {
  const Text script = u"Expr = 2+3\r\nExpr = 1/0\r\nExpr = 4";
  int32_t code = 0;
  const Text result = executorResult(script, code);
  ASSERT_EQ(code, 3001);

  e.script.scriptText = script;
  BatchOptions o;
  o.inputFile = u"/data/in.otm";
  o.header = u"'Plugin name: Quadrel.dll\r\n'" + Text(75, u'-');
  const size_t length = batchRun(e, o);

  const Text expected = u"'Plugin name: Quadrel.dll\r\n'" + Text(75, u'-') + u"\r\n" +
                        u"'Incorporates library oTemar.dll - rel. " + version() + u"\r\n" + u"'" + Text(84, u'-') +
                        u"\r\n" + u"'BatchRun : Time 07/12/2026 - 14:05:09\r\n" + u"'Input file: /data/in.otm\r\n" +
                        u"'Executed Commands: 3, Errors found: 1\r\n" + u"'" + Text(84, u'*') + u"\r\n" + result +
                        u"\r\n";
  EXPECT_EQ(e.script.scriptText, expected);
  EXPECT_EQ(length, expected.size());
  EXPECT_EQ(e.script.status, kStatusOk);
  EXPECT_EQ(e.script.settings.inputFile, u"/data/in.otm");
}

TEST_F(BatchRunTest, NoHeaderGivesTheResultAndALineEnd) {
  const Text script = u"Expr = 2";
  int32_t code = 0;
  const Text result = executorResult(script, code);
  e.script.scriptText = script;
  BatchOptions o;
  o.noHeader = true;
  o.header = u"'ignored";
  batchRun(e, o);
  EXPECT_EQ(e.script.scriptText, result + u"\r\n");
}

TEST_F(BatchRunTest, EmptyScriptWithHeader) {
  e.script.scriptText.clear();
  BatchOptions o;
  batchRun(e, o);
  const Text& t = e.script.scriptText;
  EXPECT_NE(t.find(u"'Executed Commands: 0, Errors found: 0\r\n"), Text::npos);
  // The starred line ends the text: nothing follows its own line end.
  const Text tail = u"'" + Text(84, u'*') + u"\r\n";
  ASSERT_GE(t.size(), tail.size());
  EXPECT_EQ(t.substr(t.size() - tail.size()), tail);
  EXPECT_EQ(t.rfind(u"'Incorporates library oTemar.dll - rel. ", 0), 0u);  // no caller header, no blank line
}

TEST_F(BatchRunTest, SummaryGoesToTheLogFile) {
  writeLogLine(e, u"first", 1, folder.file("run.log"), false);
  e.script.scriptText = u"Expr = 1\r\nx = 5";
  BatchOptions o;
  o.logMode = 1;
  batchRun(e, o);
  EXPECT_EQ(folder.get("run.log"), "first\r\nEval Executed : Commands: 2, Errors: 1\r\n");

  o.logMode = 0;
  batchRun(e, o);
  EXPECT_EQ(folder.get("run.log"), "first\r\nEval Executed : Commands: 2, Errors: 1\r\n");
}

TEST_F(BatchRunTest, LogFileIsCreatedThenAppended) {
  EXPECT_EQ(writeLogLine(e, u"nowhere", 1, u"", false), -1);  // no file named yet

  folder.put("run.log", "from an earlier process\r\n");
  EXPECT_EQ(writeLogLine(e, u"one \u00e4", 1, folder.file("run.log"), false), 1);
  EXPECT_EQ(writeLogLine(e, u"two\r\n", 1, u"", false), 1);
  // Once named, the file stays: another name is not taken.
  EXPECT_EQ(writeLogLine(e, u"three", 1, folder.file("other.log"), false), 1);
  EXPECT_EQ(folder.get("run.log"), "one \xC3\xA4\r\ntwo\r\nthree\r\n");
  EXPECT_FALSE(folder.exists("other.log"));

  // A reset forgets the name and the created flag: the next file starts anew.
  EXPECT_EQ(writeLogLine(e, u"", 1, u"", true), 0);
  EXPECT_EQ(writeLogLine(e, u"lost", 1, u"", false), -1);
  EXPECT_EQ(writeLogLine(e, u"fresh", 1, folder.file("run.log"), false), 1);
  EXPECT_EQ(folder.get("run.log"), "fresh\r\n");
}

TEST_F(BatchRunTest, WindowLinesAreNumberedUntilReset) {
  EXPECT_EQ(writeLogLine(e, u"alpha", 2, u"", false), 1);
  EXPECT_EQ(writeLogLine(e, u"beta", 2, u"", false), 2);
  EXPECT_EQ(writeLogLine(e, u"", 2, u"", true), 0);
  EXPECT_EQ(p.windowResets, 1);
  EXPECT_EQ(writeLogLine(e, u"gamma", 2, u"", false), 1);
  EXPECT_EQ(p.windowLines, (std::vector<Text>{u"1: alpha", u"2: beta", u"1: gamma"}));

  EXPECT_EQ(writeLogLine(e, u"ignored", 0, folder.file("x.log"), false), 0);
  EXPECT_EQ(writeLogLine(e, u"ignored", 7, u"", false), 0);
  EXPECT_FALSE(folder.exists("x.log"));
  EXPECT_EQ(p.windowLines.size(), 3u);
}

TEST_F(BatchRunTest, ClosingLineIsEightyFourCharacters) {
  const Text line = closingLine(e, 125);
  const Text start = u"'--- End Of BatchRun : Time 07/12/2026 - 14:05:09 - (Execution Time: 125 ms)";
  ASSERT_EQ(line.size(), 84u);
  EXPECT_EQ(line, start + Text(84 - start.size(), u'-'));

  const Text longest = closingLine(e, UINT64_MAX);
  ASSERT_EQ(longest.size(), 84u);
  EXPECT_EQ(longest, Text(u"'--- End Of BatchRun : Time 07/12/2026 - 14:05:09 - (Execution Time: 184467440737095"));
}

TEST(ProgressBar, BarsBlanksAndPercentage) {
  EXPECT_EQ(progressBar(5, 10, 60), Text(30, u'|') + u"        50.0 %");
  EXPECT_EQ(progressBar(1, 3, 10), u"|||        33.3 %");
  EXPECT_EQ(progressBar(0, 0, 10), u"        0.0 %");
  EXPECT_EQ(progressBar(10, 10, 4), u"||||        100.0 %");
}

TEST_F(BatchRunTest, ProgressWindowOpensShowsAndCloses) {
  showProgress(e, 0, 0, false, u"");
  EXPECT_EQ(p.progressCloses, 0);  // nothing open yet

  showProgress(e, 0, 4, true, u"Ln 1: Expr = 2");
  showProgress(e, 2, 4, true, u"");
  ASSERT_EQ(p.progressLines.size(), 2u);
  EXPECT_EQ(p.progressLines[0], u"Ln 1: Expr = 2");
  EXPECT_EQ(p.progressLines[1].substr(p.progressLines[1].size() - 14), u"        50.0 %");

  showProgress(e, 0, 0, false, u"");
  showProgress(e, 0, 0, false, u"");
  EXPECT_EQ(p.progressCloses, 1);
}

}  // namespace
}  // namespace quadrel
