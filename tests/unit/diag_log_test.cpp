// Diagnostics: procedure log lines, the debug start, the trace file, the
// message channel and the message log as GetDebugLog hands it out.
#include <vector>

#include "core/diag/debug_log.h"
#include "core/diag/log_export.h"
#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

class DiagTest : public ::testing::Test {
 protected:
  HeadlessPlatform p;
  Engine e{p};
  testing_support::TempFolder folder;

  void SetUp() override {
    p.fixedTime = true;
    p.time = {2026, 12, 7, 14, 5, 9};
    p.tempDir = folder.text();
  }
};

TEST(ProcedureLine, NamesArePaddedOrCutToTwentyCharacters) {
  EXPECT_EQ(procedureLine(u"otmE_CurLineToWndMnu()", u": START"), u"Proc: otmE_CurLineToWndMnu: START");
  EXPECT_EQ(procedureLine(u"AttachProc()", u": END"), u"Proc: AttachProc()        : END");
}

TEST_F(DiagTest, ProcedureLogOnlyWhileTheLogIsOn) {
  procedureLog(e, u"WindowProc()", u": START");
  e.diag.pluginDebug = 2;  // only 1 means on
  procedureLog(e, u"WindowProc()", u": START");
  EXPECT_TRUE(p.debugLines.empty());

  e.diag.pluginDebug = 1;
  procedureLog(e, u"WindowProc()", u": START");
  EXPECT_EQ(p.debugLines, std::vector<Text>{u"Proc: WindowProc()        : START"});  // no line end
}

TEST_F(DiagTest, DebugStartReplacesTheFileWhichThenCollectsTheLog) {
  e.diag.pluginDebug = 1;
  e.diag.debugFilePath = folder.file("Quadrel.dbg");
  folder.put("Quadrel.dbg", "left from an earlier session\r\n");

  debugStart(e, u"'Plugin name: Quadrel.dll\r\n'" + Text(75, u'-'));
  procedureLog(e, u"A()", u": 1");

  const std::vector<Text> expected = {u"'Plugin name: Quadrel.dll",
                                      u"'" + Text(75, u'-'),
                                      u"BatchRun : Time 07/12/2026 - 14:05:09",
                                      u"Log File : \"" + e.diag.debugFilePath + u"\"",
                                      Text(67, u'-'),
                                      u"Proc: A()                 : 1"};
  EXPECT_EQ(p.debugLines, expected);
  Text file;
  for (const Text& line : expected) file += line + u"\r\n";
  EXPECT_EQ(fromUtf8(folder.get("Quadrel.dbg")), file);
}

TEST_F(DiagTest, MessageModes) {
  MessageChannel& c = e.messages;
  ASSERT_EQ(c.mode, kMsgAccept);  // the load-time value drops everything
  c.send(p, u"dropped", u"t", true);
  c.send(p, u"dropped", u"t", false);
  EXPECT_TRUE(p.boxes.empty());
  EXPECT_TRUE(c.log.empty());

  c.mode = kMsgBox | kMsgLog;
  EXPECT_EQ(c.send(p, u"kept", u"RaRarevo: Error", false), u"");
  EXPECT_EQ(c.send(p, u"shown", u"RaRarevo: Error", true), u"\r\nkept");
  EXPECT_EQ(c.log, u"\r\nkept");  // a shown message is not kept
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].caption, u"RaRarevo: Error");
  EXPECT_EQ(p.boxes[0].text, u"shown");
}

TEST_F(DiagTest, DebugLogSizeCopyAndBox) {
  char16_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  p.clipboard = u"before";
  EXPECT_EQ(exportDebugLog(e, buffer, 3, true), 0);
  EXPECT_EQ(buffer[0], u'\0');
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].text, u"DEBUG LOG:\r\n(Yes => copy to Clipboard)\r\n\r\nNone");
  EXPECT_EQ(p.clipboard, u"before");  // answered No

  e.messages.log = u"\r\nabc\r\ndef";                  // 10 characters
  EXPECT_EQ(exportDebugLog(e, buffer, 0, true), 20);   // size only: no box
  EXPECT_EQ(exportDebugLog(e, buffer, 4, false), 20);  // cut, still the full size
  EXPECT_EQ(Text(buffer), u"\r\nab");
  EXPECT_EQ(buffer[5], u'#');
  EXPECT_EQ(p.boxes.size(), 1u);

  p.boxAnswers = {kAnswerYes};
  exportDebugLog(e, buffer, 15, true);
  EXPECT_EQ(Text(buffer), e.messages.log);
  ASSERT_EQ(p.boxes.size(), 2u);
  const Text shown = u"DEBUG LOG:\r\n(Yes => copy to Clipboard)\r\n\r\nabc\r\ndef";
  EXPECT_EQ(p.boxes[1].caption, u"oTemar.dll");
  EXPECT_EQ(p.boxes[1].text, shown);
  EXPECT_EQ(p.boxes[1].buttons, BoxButtons::YesNo);
  EXPECT_EQ(p.clipboard, shown);
}

TEST_F(DiagTest, AboutTextInABoxOrHandedBack) {
  p.libraryFile = folder.file("no-such-library.so");
  const Text text = aboutText(e, false);
  const Text version = intText(QUADREL_VERSION_MAJOR) + u"." + intText(QUADREL_VERSION_MINOR) + u"." +
                       intText(QUADREL_VERSION_PATCH) + u"." + intText(QUADREL_VERSION_TWEAK);
  EXPECT_EQ(text.rfind(u"Library: oTemar.dll\r\nVersion: " + version + u"\r\nFileTime: 01/01/1970 00:00:00\r\n", 0),
            0u);
  const Text end =
      u"\r\nScope: a DLL library for numerical calculations (methods)"
      u"\r\nInfo: see file Readme.txt and License.txt\r\n\r\n";
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].caption, u"About oTemar.dll");
  EXPECT_EQ(p.boxes[0].text, text);

  EXPECT_EQ(aboutText(e, true), u"About oTemar.dll\r\n\r\n" + text);
  EXPECT_EQ(e.diag.aboutText, u"About oTemar.dll\r\n\r\n" + text);
  EXPECT_EQ(p.boxes.size(), 1u);
}

}  // namespace
}  // namespace quadrel
