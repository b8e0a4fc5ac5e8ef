// Diagnostics: procedure log lines, the debug start, the trace file, the
// message channel and the message log as GetDebugLog hands it out.
#include <vector>

#include "core/diag/debug_log.h"
#include "core/diag/log_export.h"
#include "core/diag/string_passing.h"
#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::TempFolder;

class DiagTest : public ::testing::Test {
 protected:
  HeadlessPlatform p;
  Engine e{p};
  TempFolder folder;

  void SetUp() override {
    p.fixedTime = true;
    p.time = {2026, 12, 7, 14, 5, 9};
    p.tempDir = folder.text();
  }
};

TEST(ProcedureLine, NamesArePaddedOrCutToTwentyCharacters) {
  EXPECT_EQ(procedureLine(u"otmE_CurLineToWndMnu()", u": START"), u"Proc: otmE_CurLineToWndMnu: START");
  EXPECT_EQ(procedureLine(u"AttachProc()", u": END"), u"Proc: AttachProc()        : END");
  EXPECT_EQ(procedureLine(u"", u""), u"Proc: " + Text(20, u' '));
}

TEST_F(DiagTest, ProcedureLogReachesTheOutputOnlyWhileTheLogIsOn) {
  procedureLog(e, u"WindowProc()", u": START");
  EXPECT_TRUE(p.debugLines.empty());

  e.diag.pluginDebug = 1;
  procedureLog(e, u"WindowProc()", u": START");
  ASSERT_EQ(p.debugLines.size(), 1u);
  EXPECT_EQ(p.debugLines[0], u"Proc: WindowProc()        : START");  // no line end added

  e.diag.pluginDebug = 2;  // only 1 means on
  procedureLog(e, u"WindowProc()", u": END");
  EXPECT_EQ(p.debugLines.size(), 1u);
}

TEST_F(DiagTest, ProcedureLogAlsoGoesToTheDebugFileWhenNamed) {
  e.diag.pluginDebug = 1;
  e.diag.debugFilePath = folder.file("Quadrel.dbg");
  procedureLog(e, u"A()", u": 1");
  procedureLog(e, u"B()", u": 2");
  EXPECT_EQ(folder.get("Quadrel.dbg"), "Proc: A()                 : 1\r\nProc: B()                 : 2\r\n");
}

TEST_F(DiagTest, DebugStartReplacesTheFileAndLogsItsBlock) {
  e.diag.pluginDebug = 1;
  e.diag.debugFilePath = folder.file("Quadrel.dbg");
  folder.put("Quadrel.dbg", "left from an earlier session\r\n");

  debugStart(e, u"'Plugin name: Quadrel.dll\r\n'" + Text(75, u'-'));

  const Text path = e.diag.debugFilePath;
  const std::vector<Text> expected = {u"'Plugin name: Quadrel.dll", u"'" + Text(75, u'-'),
                                      u"BatchRun : Time 07/12/2026 - 14:05:09", u"Log File : \"" + path + u"\"",
                                      Text(67, u'-')};
  EXPECT_EQ(p.debugLines, expected);
  Text file;
  for (const Text& line : expected) file += line + u"\r\n";
  EXPECT_EQ(fromUtf8(folder.get("Quadrel.dbg")), file);
}

TEST_F(DiagTest, DebugFWritesInTheTemporaryFolderWithoutAsking) {
  // The headless platform has no drive C:, so the temporary folder takes the file.
  debugF(e, u"first", 0, false);
  debugF(e, u"zweite Zeile \u00e4", 0, false);
  EXPECT_EQ(folder.get("debugf.dbg"), "first\r\nzweite Zeile \xc3\xa4\r\n");
  EXPECT_FALSE(std::filesystem::exists("c:\\debugf.dbg"));

  debugF(e, u"anew", 1, false);  // any mode but 0 and 2 starts the file again
  EXPECT_EQ(folder.get("debugf.dbg"), "anew\r\n");

  debugF(e, u"skipped", 0, true);
  EXPECT_EQ(folder.get("debugf.dbg"), "anew\r\n");

  debugF(e, u"to the viewer", 2, false);
  EXPECT_EQ(folder.get("debugf.dbg"), "anew\r\n");
  ASSERT_EQ(p.debugLines.size(), 1u);
  EXPECT_EQ(p.debugLines[0], u"to the viewer");
  EXPECT_TRUE(p.boxes.empty());
}

TEST_F(DiagTest, DebugFGivesUpQuietlyWhenNoFileCanBeWritten) {
  p.tempDir = folder.text() + u"missing/folder/";
  debugF(e, u"lost", 0, false);
  EXPECT_TRUE(p.boxes.empty());
  EXPECT_FALSE(folder.exists("missing"));
}

TEST_F(DiagTest, DoEventsTracesOnlyWhenGivenSomething) {
  doEvents(e, u"", 0);
  EXPECT_FALSE(folder.exists("debugf.dbg"));
  doEvents(e, u"Plot", 3);
  EXPECT_EQ(folder.get("debugf.dbg"), "DoEvents: Plot(3)\r\n");
}

TEST_F(DiagTest, MessageModeOneDropsEverything) {
  MessageChannel& c = e.messages;
  ASSERT_EQ(c.mode, kMsgAccept);  // the load-time value
  EXPECT_EQ(c.send(p, u"text", u"title", true), u"");
  EXPECT_EQ(c.send(p, u"text", u"title", false), u"");
  EXPECT_TRUE(p.boxes.empty());
  EXPECT_TRUE(c.log.empty());
}

TEST_F(DiagTest, MessageModeSixShowsOrKeepsByTheShowFlag) {
  MessageChannel& c = e.messages;
  c.mode = kMsgBox | kMsgLog;
  EXPECT_EQ(c.send(p, u"kept", u"RaRarevo: Error", false), u"");
  EXPECT_EQ(c.log, u"\r\nkept");
  EXPECT_TRUE(p.boxes.empty());

  EXPECT_EQ(c.send(p, u"shown", u"RaRarevo: Error", true), u"\r\nkept");
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].caption, u"RaRarevo: Error");
  EXPECT_EQ(p.boxes[0].text, u"shown");
  EXPECT_EQ(c.log, u"\r\nkept");  // a shown message is not kept

  c.mode = 0;
  c.log = u"\r\nold";
  EXPECT_EQ(c.send(p, u"x", u"", true), u"");
}

TEST_F(DiagTest, DebugLogSizeCopyAndBox) {
  e.messages.log = u"\r\nabc\r\ndef";  // 10 characters
  char16_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), u'#');

  // Asking for the size shows nothing, even with show set.
  EXPECT_EQ(exportDebugLog(e, buffer, 0, true), 20);
  EXPECT_TRUE(p.boxes.empty());
  EXPECT_EQ(buffer[0], u'#');

  // A short buffer gets the first count characters and a zero; the answer is
  // still the whole size.
  EXPECT_EQ(exportDebugLog(e, buffer, 4, false), 20);
  EXPECT_EQ(Text(buffer), u"\r\nab");
  EXPECT_EQ(buffer[5], u'#');

  p.boxAnswers = {kAnswerYes};
  EXPECT_EQ(exportDebugLog(e, buffer, 15, true), 20);
  EXPECT_EQ(Text(buffer), e.messages.log);
  ASSERT_EQ(p.boxes.size(), 1u);
  const Text shown = u"DEBUG LOG:\r\n(Yes => copy to Clipboard)\r\n\r\nabc\r\ndef";
  EXPECT_EQ(p.boxes[0].caption, u"oTemar.dll");
  EXPECT_EQ(p.boxes[0].text, shown);
  EXPECT_EQ(p.boxes[0].buttons, BoxButtons::YesNo);
  EXPECT_EQ(p.boxes[0].icon, BoxIcon::Exclamation);
  EXPECT_EQ(p.clipboard, shown);
}

TEST_F(DiagTest, EmptyDebugLogShowsNoneAndNoLeavesTheClipboard) {
  p.clipboard = u"before";
  char16_t buffer[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(exportDebugLog(e, buffer, 3, true), 0);
  EXPECT_EQ(buffer[0], u'\0');
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].text, u"DEBUG LOG:\r\n(Yes => copy to Clipboard)\r\n\r\nNone");
  EXPECT_EQ(p.clipboard, u"before");
}

TEST_F(DiagTest, AboutTextInABoxOrHandedBack) {
  p.libraryFile = folder.file("no-such-library.so");
  const Text text = aboutText(e, false);
  const Text version = intText(QUADREL_VERSION_MAJOR) + u"." + intText(QUADREL_VERSION_MINOR) + u"." +
                       intText(QUADREL_VERSION_PATCH) + u"." + intText(QUADREL_VERSION_TWEAK);
  EXPECT_EQ(text.rfind(u"Library: oTemar.dll\r\nVersion: " + version + u"\r\nFileTime: 01/01/1970 00:00:00\r\n", 0),
            0u);
  EXPECT_NE(text.find(u"\r\nScope: a DLL library for numerical calculations (methods)"
                      u"\r\nInfo: see file Readme.txt and License.txt\r\n\r\n"),
            Text::npos);
  EXPECT_EQ(text.substr(text.size() - 4), u"\r\n\r\n");
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].caption, u"About oTemar.dll");
  EXPECT_EQ(p.boxes[0].text, text);
  EXPECT_EQ(e.diag.aboutText, text);

  const Text returned = aboutText(e, true);
  EXPECT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(returned, u"About oTemar.dll\r\n\r\n" + text);
  EXPECT_EQ(e.diag.aboutText, returned);
}

TEST_F(DiagTest, AboutTextShowsTheLibraryFileTime) {
  folder.put("lib.so", "x");
  p.libraryFile = folder.file("lib.so");
  LocalTime t;
  ASSERT_TRUE(p.fileModifiedTime(p.libraryFile, t));
  EXPECT_NE(aboutText(e, true).find(u"\r\nFileTime: " + dateTimeText(t, u" ") + u"\r\n"), Text::npos);
}

TEST(DateTimeText, TwoDigitFieldsAndFourDigitYear) {
  EXPECT_EQ(dateTimeText({987, 1, 2, 3, 4, 5}, u" - "), u"02/01/0987 - 03:04:05");
  EXPECT_EQ(dateTimeText({2026, 12, 31, 23, 59, 58}, u" "), u"31/12/2026 23:59:58");
}

TEST_F(DiagTest, StringPassingBoxes) {
  stringPassingBoxes(e, u"TestStrPtr", u"hello", u"aaaaaaaaaaa");
  ASSERT_EQ(p.boxes.size(), 2u);
  EXPECT_EQ(p.boxes[0].caption, u"TestStrPtr 1");
  EXPECT_EQ(p.boxes[0].text, u"st.s=.hello.");
  EXPECT_EQ(p.boxes[1].caption, u"TestStrPtr 2");
  EXPECT_EQ(p.boxes[1].text, u"st.s=.aaaaaaaaaaa.");
}

}  // namespace
}  // namespace quadrel
