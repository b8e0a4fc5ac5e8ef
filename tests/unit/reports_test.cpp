// Information reports: the information block, the help lines, memory and
// flags, showing a report in the messages window, and the view of long logs.
#include "core/script/reports.h"

#include <vector>

#include "core/eval/store_ops.h"
#include "script_entry_fixture.h"

namespace quadrel {
namespace {

using testing_support::ScriptEntryTest;

class ReportsTest : public ScriptEntryTest {};

std::vector<Text> linesOf(TextView text) {
  std::vector<Text> lines;
  size_t at = 0;
  while (true) {
    const size_t end = text.find(u"\r\n", at);
    lines.emplace_back(text.substr(at, end == TextView::npos ? TextView::npos : end - at));
    if (end == TextView::npos)
      return lines;
    at = end + 2;
  }
}

TEST_F(ReportsTest, InformationBlock) {
  const std::vector<Text> shortForm = linesOf(informationBlock(e, false, false));
  ASSERT_EQ(shortForm.size(), 5u);
  EXPECT_EQ(shortForm[0].rfind(u"Plugin name: Quadrel.dll (", 0), 0u);
  EXPECT_EQ(shortForm[0].back(), u')');
  EXPECT_EQ(shortForm[1], u"Version: 0.0.4.9 - Built: 66. (Unicode version)");
  EXPECT_EQ(shortForm[4], Text(75, u'-'));

  const std::vector<Text> longForm = linesOf(informationBlock(e, true, false));
  ASSERT_EQ(longForm.size(), 8u);
  EXPECT_EQ(std::vector<Text>(longForm.begin(), longForm.begin() + 5), shortForm);
  EXPECT_EQ(longForm[7], Text(75, u'-'));

  for (const Text& line : linesOf(informationBlock(e, true, true))) EXPECT_EQ(line[0], u'\'') << toUtf8(line);
}

TEST_F(ReportsTest, HelpLines) {
  const std::vector<Text> lines = linesOf(helpReport(e));
  ASSERT_EQ(lines.size(), 5u + 39u);
  for (size_t k = 0; k < 5; ++k) EXPECT_EQ(lines[k][0], u'\'');
  EXPECT_EQ(lines[5], u"Syntax: Quadrel [parameters], Quadrel /h");
  EXPECT_EQ(lines[6], u"");
  EXPECT_EQ(lines[8], u" /i           InputFN[.otm] oTemar script file name (text format) to evaluate");
  EXPECT_EQ(lines[14], u" /sel:'...'   evaluate SELected text (disable /i, enable /noh)");
  EXPECT_EQ(lines[19], u"              => Note: This function may give errors if result depends ");
  EXPECT_EQ(lines[22], u" /spl[:path\\] Save PLots screenshots (jpg) in path with sequantial");
  EXPECT_EQ(lines[26], u" /dec:nr      show numbers using nr DECimals (es. /dec:3 gives 0.456)");
  EXPECT_EQ(lines[43], u" es. 123002 means 123 Commands Executed and 2 Errors encountered");
}

TEST_F(ReportsTest, MemoryHeadingsWhenEmpty) {
  const Text text = memoryReport(e);
  const Text block = informationBlock(e, false, false);
  EXPECT_EQ(
      text,
      block + u"\r\nShow Memory:\r\n\r\nVariables:\r\n \r\n\r\nFunctions:\r\n \r\n\r\nMatrix List: Count:0\r\n\r\n");
}

TEST_F(ReportsTest, MemoryListsVariablesAndFunctions) {
  defineEntry(e, u"x", u"2", false);
  defineEntry(e, u"y", u"3.5", false);
  defineEntry(e, u"f", u"x * 2", true);
  const Text text = memoryReport(e);
  EXPECT_TRUE(testing_support::contains(text, u"Variables:\r\nx = 2; y = 3.5;  \r\n"));
  EXPECT_TRUE(testing_support::contains(text, u"Functions:\r\nf = x*2;  \r\n"));
}

TEST_F(ReportsTest, FlagsLines) {
  s.inputFile = u"/d/a.otm";
  s.lineList = u";3;";
  s.filterLines = true;
  s.dataFolder = u"/d/";
  e.script.decimals = 6;
  const Text text = flagsReport(e);
  const Text expected = informationBlock(e, false, false) +
                        u"\r\nFlags and Variables:"
                        u"\r\nInpFN = /d/a.otm\r\nlnsF = 1\r\nLnsStr = ;3;\r\ngetFromClpF = 0\r\ngetFromSelTextF = 0"
                        u"\r\n"
                        u"\r\nOutpFN = \r\nAppendF = 0\r\nNoHF = 0\r\nnoLnExpF= 0\r\nSaveToClpBF = 0\r\ndecimals= 6"
                        u"\r\n"
                        u"\r\nCurDir = /d/"
                        u"\r\n"
                        u"\r\nsplF = 0\r\nsplPath = \r\nlogF = 0\r\nlogFileN= \r\nrrF = 0\r\nrsetF = 0\r\nquitF = 0"
                        u"\r\ndelF = 0"
                        u"\r\n"
                        u"\r\nPress any keys...";
  EXPECT_EQ(text, expected);
}

TEST_F(ReportsTest, ShowReportNumbersFromOneInAFreshWindow) {
  showReport(e, u"first\r\nsecond\rthird");
  showReport(e, u"again\r\n");
  const std::vector<Text> expected = {u"1: first", u"2: second", u"3: third", u"1: again", u"2: "};
  EXPECT_EQ(p.windowLines, expected);
  EXPECT_EQ(p.windowResets, 2);
}

class LogViewTest : public ScriptEntryTest {
 protected:
  void makeLongLog() { e.errors.log = Text(100001, u'x'); }
  const RecordedBox& lastBox() const { return p.boxes.back(); }
};

TEST_F(LogViewTest, ShortLogIsShownAtOnce) {
  e.messages.log = u"\r\nfirst message";
  viewLog(e, LogSource::Debug);
  EXPECT_TRUE(p.boxes.empty());
  EXPECT_TRUE(p.inputs.empty());
  EXPECT_EQ(p.windowLines, (std::vector<Text>{u"1: ", u"2: first message"}));
}

TEST_F(LogViewTest, LongLogAsksWhatToDo) {
  makeLongLog();
  p.inputAnswers.push_back(u"5");
  viewLog(e, LogSource::Errors);
  ASSERT_EQ(p.boxes.size(), 2u);
  EXPECT_EQ(p.boxes[0].caption, u"Quadrel");
  EXPECT_EQ(p.boxes[0].text,
            u"Text is 100001 characters long and may take time to be loaded.\r\n\r\n"
            u"You can:\t1) view it\r\n"
            u"        \t2) copy to clipboard\r\n"
            u"        \t3) save to file\r\n"
            u"        \t0) exit doing nothing\r\n");
  ASSERT_EQ(p.inputs.size(), 1u);
  EXPECT_EQ(p.inputs[0].caption, u"Quadrel");
  EXPECT_EQ(p.inputs[0].prompt, u"1=View, 2=To Clipboard, 3=Save To File, 0=Exit");
  EXPECT_EQ(p.inputs[0].defaultText, u"0");
  EXPECT_EQ(lastBox().text, u"Nothing done");
  EXPECT_TRUE(p.windowLines.empty());
}

TEST_F(LogViewTest, LongLogToClipboard) {
  makeLongLog();
  p.inputAnswers.push_back(u"2");
  viewLog(e, LogSource::Errors);
  EXPECT_EQ(p.clipboard, e.errors.log);
  EXPECT_EQ(lastBox().text, u"Text copied to clipboard");
}

TEST_F(LogViewTest, LongLogSavedToAFile) {
  makeLongLog();
  e.script.scriptText = u"kept";
  p.inputAnswers.push_back(u"3");
  p.fileDialogAnswers.push_back(folder.file("log.txt"));
  viewLog(e, LogSource::Errors);
  EXPECT_EQ(folder.get("log.txt"), std::string(100001, 'x'));
  EXPECT_EQ(lastBox().text, u"Text saved to file");
  EXPECT_EQ(e.script.scriptText, u"kept");
}

}  // namespace
}  // namespace quadrel
