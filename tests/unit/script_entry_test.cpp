// The script entry end to end on the headless platform: file runs and their
// result files, selections, clipboard, reports that stop or go on, the run
// log and the status codes.
#include <filesystem>
#include <regex>

#include "core/script/reports.h"
#include "script_entry_fixture.h"

namespace quadrel {
namespace {

using testing_support::contains;
using testing_support::ScriptEntryTest;

class OtmEvalMainTest : public ScriptEntryTest {
 protected:
  // Lines of the log file of the runs, which /log puts in the data folder.
  std::string runLog() const { return folder.get("otmCmds.log"); }
};

TEST_F(OtmEvalMainTest, FileRunWritesResultBesideTheInput) {
  folder.put("test.otm", "Expr = 2+3\r\nx = 5\r\n");
  ASSERT_EQ(run(u"/i test.otm"), -1);

  const std::string saved = folder.get("Result.otm");
  const std::string result = toUtf8(e.script.resultText);
  // The header block, then the blocks, then the closing line.
  EXPECT_EQ(result.rfind("'Plugin name: Quadrel.dll (", 0), 0u);
  EXPECT_TRUE(contains(e.script.resultText, u"'Executed Commands: 2, Errors found: 1\r\n"));
  EXPECT_TRUE(contains(e.script.resultText, u"\r\n Result => Number = 5.0000\r\n"));
  ASSERT_EQ(saved.rfind(result, 0), 0u) << "the file starts with the result text";
  const std::string closing = saved.substr(result.size());
  EXPECT_EQ(closing.rfind("'--- End Of BatchRun : Time 07/12/2026 - 14:05:09 - (Execution Time: ", 0), 0u);
  EXPECT_EQ(closing.size(), 84u);
  EXPECT_EQ(s.inputFile, folder.file("test.otm"));
  EXPECT_EQ(s.outputFile, folder.file("Result.otm"));
}

TEST_F(OtmEvalMainTest, NothingToRun) {
  EXPECT_EQ(run(u"/noh /log"), -5);
  EXPECT_EQ(e.script.resultText, u"");
  const std::string log = runLog();
  EXPECT_NE(log.find("Error : Invalid Input file.\r\nfilename: .\r\n Program will terminate.\r\n"), std::string::npos);
  EXPECT_NE(log.find("Evaluation End: Exit code: -5\r\n" + std::string(53, '-') + "\r\n"), std::string::npos);
}

TEST_F(OtmEvalMainTest, HelpReturnsAtOnce) {
  folder.put("test.otm", "Expr = 1\r\n");
  EXPECT_EQ(run(u"/h /i test.otm /log"), -1);
  EXPECT_EQ(e.script.resultText, u"");
  EXPECT_FALSE(folder.exists("Result.otm"));
  EXPECT_FALSE(folder.exists("otmCmds.log"));
  EXPECT_TRUE(windowHas(u"6: Syntax: Quadrel [parameters], Quadrel /h"));
  EXPECT_FALSE(s.showHelp);
}

TEST_F(OtmEvalMainTest, SelectionToClipboard) {
  EXPECT_EQ(run(u"/sel:'Expr = 2/4' /sclp"), -1);
  EXPECT_EQ(e.script.resultText, u"Ln 1: EXPR = 2/4: " + Text(20, u' ') + u"\r\n Result => Number = 0.5000\r\n");
  EXPECT_EQ(p.clipboard, e.script.resultText);
  EXPECT_EQ(s.selectionText, u"");
  EXPECT_FALSE(folder.exists("Result.otm"));
}

TEST_F(OtmEvalMainTest, DecimalsForTheRun) {
  run(u"/dec:2 /sel:'Expr = 1/3' /nln");
  EXPECT_EQ(e.script.resultText, u" Result => Number = 0.33\r\n");
  EXPECT_EQ(e.script.decimals, 2);
}

TEST_F(OtmEvalMainTest, ScriptFromTheClipboard) {
  p.clipboard = u"Expr = 6*7";
  EXPECT_EQ(run(u"/gclp /noh /nln"), -1);
  EXPECT_EQ(e.script.resultText, u" Result => Number = 42.0000\r\n");
}

TEST_F(OtmEvalMainTest, AppendTwiceWithoutHeader) {
  folder.put("in.otm", "Expr = 1+1\r\n");
  // Appending needs the file to be there.
  EXPECT_EQ(run(u"/a out.otm /i in.otm"), -3);
  EXPECT_EQ(p.boxes.size(), 2u);
  folder.put("out.otm", "");
  // The runs' own execution times may differ by a millisecond.
  auto withoutTimes = [](std::string s) { return std::regex_replace(s, std::regex("Time: [0-9]+ ms"), "Time: ms"); };
  run(u"/a out.otm /i in.otm");
  const std::string first = withoutTimes(folder.get("out.otm"));
  run(u"/a out.otm /i in.otm");
  const std::string both = withoutTimes(folder.get("out.otm"));
  EXPECT_EQ(first.find("'Plugin name"), std::string::npos);
  EXPECT_EQ(first.rfind("Ln 1: EXPR = 1+1:", 0), 0u);
  // The first run's closing line has no line end: the second run starts on a line of its own.
  EXPECT_EQ(both, first + "\r\n" + first);
}

TEST_F(OtmEvalMainTest, DeleteOutputsButNotForDecimals) {
  folder.put("in.otm", "Expr = 1\r\n");
  folder.put("out.otm", "old\r\n");
  run(u"/dec:4 /a out.otm /i in.otm");
  EXPECT_EQ(folder.get("out.otm").rfind("old\r\n", 0), 0u);

  // Deleted outputs that are appended to start empty.
  folder.put("out.otm", "old\r\n");
  EXPECT_EQ(run(u"/del /a out.otm /i in.otm"), -1);
  EXPECT_EQ(folder.get("out.otm").rfind("Ln 1: EXPR = 1:", 0), 0u);

  folder.put("out.otm", "old\r\n");
  EXPECT_EQ(run(u"/del /o out.otm /i in.otm"), -1);
  EXPECT_EQ(folder.get("out.otm").find("old"), std::string::npos);
}

TEST_F(OtmEvalMainTest, LineSelection) {
  folder.put("in.otm", "Expr = 1\r\nExpr = 2\r\nExpr = 3\r\nExpr = 4\r\nExpr = 5\r\nExpr = 6\r\n");
  run(u"/lns:2;5 /i in.otm /nln");
  EXPECT_EQ(e.script.resultText, u" Result => Number = 2.0000\r\n\r\n Result => Number = 5.0000\r\n");
  EXPECT_TRUE(s.append);
}

TEST_F(OtmEvalMainTest, RunLog) {
  folder.put("in.otm", "Expr = 1\r\n");
  ASSERT_EQ(run(u"/i in.otm /log"), -1);
  const std::string log = runLog();
  const std::string in = toUtf8(folder.file("in.otm"));
  const std::string out = toUtf8(folder.file("Result.otm"));
  for (const std::string& line : {
           std::string("Plugin name: Quadrel.dll ("),
           std::string("BatchRun      : Time 07/12/2026 - 14:05:09\r\nINI File      : \"\"\r\n"),
           "Log File      : \"" + toUtf8(folder.file("otmCmds.log")) + "\"\r\n",
           std::string("Command Line  : \"/i in.otm /log\"\r\n"),
           "Input File    : \"" + in + "\"\r\n",
           std::string("Output File   : \"\"\r\n"),
           std::string("Save Plot Path: \"0\"\r\n"),
           "Current Folder: \"" + toUtf8(folder.text()) + "\"\r\n",
           "LoadFromFile  : \"" + in + "\"\r\n",
           std::string("Eval Executed : Commands: 1, Errors: 0\r\n"),
           std::string("Eval Codes    : Ret = "),
           "SaveToFile    : \"" + out + "\"\r\n",
           std::string("            1 : Command Line Executed.\r\n"),
           std::string("Evaluation End: Exit code: -1\r\n"),
       }) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
  // The block comes once: the second run appends to a known output file.
  run(u"/i in.otm /log");
  const std::string again = runLog();
  EXPECT_EQ(again.find("INI File", log.size()), std::string::npos);
  EXPECT_NE(again.find("LoadFromFile  : ", log.size()), std::string::npos);
}

TEST_F(OtmEvalMainTest, MissingInputFileIsReported) {
  run(u"/i missing.otm");
  ASSERT_FALSE(p.boxes.empty());
  EXPECT_EQ(p.boxes[0].caption, u"Quadrel");
  EXPECT_EQ(p.boxes[0].text, u"Error 4: can't read the file\r\n" + folder.file("missing.otm"));
}

TEST_F(OtmEvalMainTest, DataFolderBesideTheLibrary) {
  s.dataFolder.clear();
  p.libraryFile = u"/opt/quadrel/lib/libquadrel.so";
  run(u"/h");
  EXPECT_EQ(s.dataFolder, u"/opt/quadrel/lib/Quadrel/");
}

TEST_F(OtmEvalMainTest, MemoryReportStopsTheCall) {
  EXPECT_EQ(run(u"/sm /sel:'Expr = 1'"), -1);
  EXPECT_EQ(e.script.resultText, u"");
  EXPECT_TRUE(windowHas(u"6: Show Memory:"));
  EXPECT_FALSE(s.showMemory);

  run(u"/sel:'Expr = 1' /nln");
  EXPECT_EQ(e.script.resultText, u" Result => Number = 1.0000\r\n");
}

// The log and command list reports read their file into the report alone:
// the script text stays, and a missing file is a box and status -2.
TEST_F(OtmEvalMainTest, FileReportsStopTheCallAndLeaveTheScriptText) {
  std::filesystem::create_directories(folder.path("lib"));
  folder.put("lib/ShowCmds.otm", "Expr = x\n");
  folder.put("run.log", "logged line\r\n");
  struct Case {
    const char16_t* options;
    const char* libraryFile;
    const char* logFile;
    int32_t status;
    const char16_t* shown;  // a window line holding it, or the box's text
  } const cases[] = {
      {u"/cm", "lib/libquadrel.so", "run.log", -1, u"Expr = x"},
      {u"/lg", "lib/libquadrel.so", "run.log", -1, u"logged line"},
      {u"/cm", "none/libquadrel.so", "run.log", -2, u"Error 8: can't read the file\r\n"},
      {u"/lg", "lib/libquadrel.so", "none.log", -2, u"Error 7: can't read the file\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.options) + " " + c.libraryFile + " " + c.logFile);
    p.libraryFile = folder.file(c.libraryFile);
    s.logFileName = folder.file(c.logFile);
    p.windowLines.clear();
    p.boxes.clear();
    e.script.scriptText = u"earlier text";
    e.script.status = kStatusOk;
    EXPECT_EQ(run(c.options), c.status);
    EXPECT_EQ(e.script.scriptText, u"earlier text");
    bool shown = false;
    for (const Text& line : p.windowLines) shown = shown || contains(line, c.shown);
    for (const auto& box : p.boxes) shown = shown || contains(box.text, c.shown);
    EXPECT_TRUE(shown);
    for (const Text& line : p.windowLines) EXPECT_FALSE(contains(line, u"earlier text"));
  }
}

TEST_F(OtmEvalMainTest, FlagsReportGoesOn) {
  folder.put("a.otm", "Expr = 1\r\nExpr = 2\r\nExpr = 3\r\n");
  run(u"/i a.otm /lns:3");
  run(u"/sf");
  EXPECT_TRUE(windowHas(u"7: InpFN = " + folder.file("a.otm")));
  EXPECT_TRUE(windowHas(u"9: LnsStr = ;3;"));
  EXPECT_FALSE(s.showFlags);
  // The call went on and ran the file again.
  EXPECT_TRUE(contains(e.script.resultText, u"EXPR = 3"));
}

TEST_F(OtmEvalMainTest, SavePlotPathBecomesItsFolder) {
  run(u"/spl /h");
  EXPECT_EQ(s.savePlotPath, u"spl");
  run(u"/spl /noh");
  EXPECT_EQ(s.savePlotPath, u"");
  run(u"/spl:0 /noh");
  EXPECT_EQ(s.savePlotPath, u"0");
  run(u"/spl:c:\\pics\\shot /noh");
  EXPECT_EQ(s.savePlotPath, u"c:\\pics\\");
}

}  // namespace
}  // namespace quadrel
