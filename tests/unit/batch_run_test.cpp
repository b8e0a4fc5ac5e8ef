// Batch run: the header block around the executor's result, the summary
// log line, the log sink, the closing line and the progress display.
#include "core/script/batch_run.h"

#include <cstdint>
#include <vector>

#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

class BatchRunTest : public ::testing::Test {
 protected:
  HeadlessPlatform p;
  Engine e{p};
  testing_support::TempFolder folder;

  void SetUp() override {
    p.fixedTime = true;
    p.time = {2026, 12, 7, 14, 5, 9};
  }

  // What the executor alone makes of a script, on a twin engine.
  static Text executorResult(TextView script) {
    HeadlessPlatform twinPlatform;
    Engine twin(twinPlatform);
    Text result;
    execCommands(twin, script, result, ExecOptions());
    return result;
  }
};

TEST_F(BatchRunTest, HeaderBlockLayout) {
  const Text script = u"Expr = 2+3\r\nExpr = 1/0\r\nExpr = 4";
  e.script.scriptText = script;
  BatchOptions o;
  o.inputFile = u"/data/in.otm";
  o.header = u"'Plugin name: Quadrel.dll\r\n'" + Text(75, u'-');
  const size_t length = batchRun(e, o);

  const Text version = intText(QUADREL_VERSION_MAJOR) + u"." + intText(QUADREL_VERSION_MINOR) + u"." +
                       intText(QUADREL_VERSION_PATCH) + u"." + intText(QUADREL_VERSION_TWEAK);
  const Text expected =
      o.header + u"\r\n'Incorporates library oTemar.dll - rel. " + version + u"\r\n'" + Text(84, u'-') +
      u"\r\n'BatchRun : Time 07/12/2026 - 14:05:09\r\n'Input file: /data/in.otm\r\n" +
      u"'Executed Commands: 3, Errors found: 1\r\n'" + Text(84, u'*') + u"\r\n" + executorResult(script) + u"\r\n";
  EXPECT_EQ(e.script.scriptText, expected);
  EXPECT_EQ(length, expected.size());
  EXPECT_EQ(e.script.status, kStatusOk);
}

TEST_F(BatchRunTest, NoHeaderAndEmptyScript) {
  e.script.scriptText = u"Expr = 2";
  BatchOptions o;
  o.noHeader = true;
  o.header = u"'ignored";
  batchRun(e, o);
  EXPECT_EQ(e.script.scriptText, executorResult(u"Expr = 2") + u"\r\n");

  // An empty run with the header: the starred line ends the text.
  e.script.scriptText.clear();
  o.noHeader = false;
  o.header.clear();
  batchRun(e, o);
  const Text& t = e.script.scriptText;
  EXPECT_EQ(t.rfind(u"'Incorporates library oTemar.dll - rel. ", 0), 0u);
  const Text tail = u"'Executed Commands: 0, Errors found: 0\r\n'" + Text(84, u'*') + u"\r\n";
  ASSERT_GE(t.size(), tail.size());
  EXPECT_EQ(t.substr(t.size() - tail.size()), tail);
}

TEST_F(BatchRunTest, LogFileIsCreatedThenAppended) {
  EXPECT_EQ(writeLogLine(e, u"nowhere", 1, u"", false), -1);  // no file named yet

  folder.put("run.log", "from an earlier process\r\n");
  EXPECT_EQ(writeLogLine(e, u"one \u00e4", 1, folder.file("run.log"), false), 1);
  EXPECT_EQ(writeLogLine(e, u"two\r\n", 1, folder.file("other.log"), false), 1);  // the first name stays
  e.script.scriptText = u"Expr = 1\r\nx = 5";
  BatchOptions o;
  o.logMode = 1;
  batchRun(e, o);
  EXPECT_EQ(folder.get("run.log"), "one \xC3\xA4\r\ntwo\r\nEval Executed : Commands: 2, Errors: 1\r\n");
  EXPECT_FALSE(folder.exists("other.log"));

  // A reset forgets the name and the created flag: the next file starts anew.
  EXPECT_EQ(writeLogLine(e, u"", 1, u"", true), 0);
  EXPECT_EQ(writeLogLine(e, u"lost", 1, u"", false), -1);
  EXPECT_EQ(writeLogLine(e, u"fresh", 1, folder.file("run.log"), false), 1);
  EXPECT_EQ(folder.get("run.log"), "fresh\r\n");
}

TEST_F(BatchRunTest, WindowLinesAreNumberedUntilReset) {
  writeLogLine(e, u"alpha", 2, u"", false);
  writeLogLine(e, u"beta", 2, u"", false);
  EXPECT_EQ(writeLogLine(e, u"", 2, u"", true), 0);
  writeLogLine(e, u"gamma", 2, u"", false);
  EXPECT_EQ(writeLogLine(e, u"ignored", 0, u"", false), 0);
  EXPECT_EQ(p.windowLines, (std::vector<Text>{u"1: alpha", u"2: beta", u"1: gamma"}));
  EXPECT_EQ(p.windowResets, 1);
}

TEST_F(BatchRunTest, ClosingLineIsEightyFourCharacters) {
  const Text start = u"'--- End Of BatchRun : Time 07/12/2026 - 14:05:09 - (Execution Time: ";
  EXPECT_EQ(closingLine(e, 125), start + u"125 ms)" + Text(84 - start.size() - 7, u'-'));
  EXPECT_EQ(closingLine(e, UINT64_MAX), start + u"184467440737095");  // cut
}

TEST_F(BatchRunTest, ProgressBarAndWindow) {
  EXPECT_EQ(progressBar(1, 3, 10), u"|||        33.3 %");
  EXPECT_EQ(progressBar(0, 0, 10), u"        0.0 %");

  showProgress(e, 0, 0, false, u"");  // nothing open: nothing to close
  showProgress(e, 0, 4, true, u"Ln 1: Expr = 2");
  showProgress(e, 0, 0, false, u"");
  showProgress(e, 0, 0, false, u"");
  EXPECT_EQ(p.progressLines, std::vector<Text>{u"Ln 1: Expr = 2"});
  EXPECT_EQ(p.progressCloses, 1);
}

}  // namespace
}  // namespace quadrel
