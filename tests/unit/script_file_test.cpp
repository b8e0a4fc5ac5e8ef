// Script files: encodings by byte-order mark, line ends, and the file entry
// by mode with its boxes and status codes.
#include "core/script/script_file.h"

#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::TempFolder;

const Text kRefusedTail = u"\r\nUnable to convert the file. Try to save it in ASCII, UTF8 or Unicode format.";

class ScriptFileTest : public ::testing::Test {
 protected:
  HeadlessPlatform p;
  Engine e{p};
  TempFolder folder;

  // Decodes bytes that must be accepted.
  Text decoded(std::string_view bytes) {
    Text text, refusal;
    EXPECT_EQ(decodeText(e, bytes, text, refusal), ReadResult::Ok);
    EXPECT_TRUE(refusal.empty());
    return text;
  }
  // The refusal message of bytes that must be refused.
  Text refused(std::string_view bytes) {
    Text text = u"stale", refusal;
    EXPECT_EQ(decodeText(e, bytes, text, refusal), ReadResult::RefusedEncoding);
    EXPECT_TRUE(text.empty());
    return refusal;
  }
  const RecordedBox& onlyBox() {
    EXPECT_EQ(p.boxes.size(), 1u);
    static const RecordedBox none{};
    return p.boxes.empty() ? none : p.boxes[0];
  }
};

TEST_F(ScriptFileTest, Utf8WithMarkGetsALineEndAfterTheLastLine) {
  EXPECT_EQ(decoded("\xEF\xBB\xBF"
                    "Expr = 1"),
            u"Expr = 1\r\n");
  EXPECT_EQ(decoded("\xEF\xBB\xBF"
                    "x = \xC3\xA4\xE2\x82\xAC"),
            u"x = \u00e4\u20ac\r\n");
  EXPECT_EQ(decoded("\xEF\xBB\xBF"), u"");
}

TEST_F(ScriptFileTest, Utf16LittleEndian) {
  // "a\u00e9\n" "\U0001F600\r\n" "c" with mark FF FE.
  const std::string bytes(
      "\xFF\xFE"
      "a\0\xE9\0\n\0"
      "\x3D\xD8\x00\xDE\r\0\n\0"
      "c\0",
      18);
  EXPECT_EQ(decoded(bytes), u"a\u00e9\r\n\U0001F600\r\nc\r\n");
  EXPECT_EQ(decoded(std::string("\xFF\xFE"
                                "x\0"
                                "y",
                                5)),
            u"x\r\n");  // an odd last byte is dropped
}

TEST_F(ScriptFileTest, RefusedMarks) {
  EXPECT_EQ(refused(std::string("\xFE\xFF\0a", 4)), u"UTF-16 (big endian) BOM detected.");
  EXPECT_EQ(refused(std::string("\xFF\xFE\0\0a\0\0\0", 8)), u"UTF-32 (little endian) BOM detected.");
  EXPECT_EQ(refused(std::string("\0\0\xFE\xFF\0\0\0a", 8)), u"UTF-32 (big endian) BOM detected.");
}

TEST_F(ScriptFileTest, WithoutMarkValidUtf8IsUtf8AndAnythingElseAnsi) {
  EXPECT_EQ(decoded("Expr = 2+3"), u"Expr = 2+3\r\n");
  EXPECT_EQ(decoded("x = \xC3\xA4"), u"x = \u00e4\r\n");
  // Not UTF-8: Windows-1252 on the headless platform.
  EXPECT_EQ(decoded("caf\xE9 \x80 \x93"), u"caf\u00e9 \u20ac \u201c\r\n");
  // One stray byte makes the whole file ANSI, the valid pairs included.
  EXPECT_EQ(decoded("\xC3\xA4 \xFF"), u"\u00c3\u00a4 \u00ff\r\n");
  EXPECT_EQ(decoded(""), u"");
}

TEST_F(ScriptFileTest, EveryKindOfLineEndBecomesCrLf) {
  EXPECT_EQ(decoded("a\nb\r\nc\rd"), u"a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(decoded("a\r\n"), u"a\r\n");
  EXPECT_EQ(decoded("a\r\r\nb\n\n"), u"a\r\n\r\nb\r\n\r\n");
  EXPECT_EQ(decoded("\n\r"), u"\r\n\r\n");
}

TEST_F(ScriptFileTest, ReadingTheInputFile) {
  folder.put("in.otm", "Expr = 1\r\nExpr = 2");
  e.script.settings.inputFile = folder.file("in.otm");
  e.script.status = kStatusOk;
  EXPECT_EQ(loadSaveFile(e, 6), kStatusOk);
  EXPECT_EQ(e.script.scriptText, u"Expr = 1\r\nExpr = 2\r\n");
  EXPECT_TRUE(p.boxes.empty());
}

TEST_F(ScriptFileTest, MissingFilesGiveTheirBoxAndKeepTheText) {
  struct Case {
    int mode;
    const char16_t* message;
  };
  const Case cases[] = {{1, u"Error 7: can't read the file\r\n"},
                        {2, u"Error 8: can't read the file\r\n"},
                        {6, u"Error 4: can't read the file\r\n"}};
  p.libraryFile = folder.file("lib/libquadrel.so");
  e.script.settings.logFileName = folder.file("none.log");
  e.script.settings.inputFile = folder.file("none.otm");
  const Text names[] = {e.script.settings.logFileName, folder.file("lib/ShowCmds.otm"), e.script.settings.inputFile};
  for (int k = 0; k < 3; ++k) {
    p.boxes.clear();
    e.script.status = kStatusOk;
    e.script.scriptText = u"kept";
    EXPECT_EQ(loadSaveFile(e, cases[k].mode), kStatusOpenError) << "mode " << cases[k].mode;
    EXPECT_EQ(e.script.scriptText, u"kept");
    const RecordedBox& box = onlyBox();
    EXPECT_EQ(box.caption, u"Quadrel");
    EXPECT_EQ(box.text, cases[k].message + names[k]);
  }
}

TEST_F(ScriptFileTest, LogAndCommandListFiles) {
  folder.put("run.log", "line 1\r\n");
  std::filesystem::create_directories(folder.path("lib"));
  folder.put("lib/ShowCmds.otm", "Expr = x\n");
  e.script.settings.logFileName = folder.file("run.log");
  p.libraryFile = folder.file("lib/libquadrel.so");

  EXPECT_EQ(loadSaveFile(e, 1), kStatusOk);
  EXPECT_EQ(e.script.scriptText, u"line 1\r\n");
  EXPECT_EQ(loadSaveFile(e, 2), kStatusOk);
  EXPECT_EQ(e.script.scriptText, u"Expr = x\r\n");
}

TEST_F(ScriptFileTest, RefusedEncodingEmptiesTheTextAndLeavesTheStatus) {
  folder.put("be.otm", std::string("\xFE\xFF\0E\0x", 6));
  e.script.settings.inputFile = folder.file("be.otm");
  e.script.scriptText = u"old";
  e.script.status = kStatusWriteError;
  EXPECT_EQ(loadSaveFile(e, 6), kStatusWriteError);
  EXPECT_EQ(e.script.scriptText, u"");
  const RecordedBox& box = onlyBox();
  EXPECT_EQ(box.caption, u"Quadrel");
  EXPECT_EQ(box.text, u"UTF-16 (big endian) BOM detected." + kRefusedTail);
}

TEST_F(ScriptFileTest, SavingReplacesOrAppendsUtf8) {
  RunSettings& s = e.script.settings;
  s.outputFile = folder.file("out.otm");
  folder.put("out.otm", "old content");
  e.script.scriptText = u"x = \u00e4\r\n";
  EXPECT_EQ(loadSaveFile(e, 7), kStatusOk);
  EXPECT_EQ(folder.get("out.otm"), "x = \xC3\xA4\r\n");

  s.append = true;
  e.script.scriptText = u"second";
  EXPECT_EQ(loadSaveFile(e, 7), kStatusOk);
  EXPECT_EQ(folder.get("out.otm"), "x = \xC3\xA4\r\nsecond");  // nothing added between
  EXPECT_TRUE(p.boxes.empty());
}

TEST_F(ScriptFileTest, AppendingToAMissingFileFailsWithTwoBoxes) {
  RunSettings& s = e.script.settings;
  s.outputFile = folder.file("missing.otm");
  s.append = true;
  e.script.scriptText = u"text";
  EXPECT_EQ(loadSaveFile(e, 7), kStatusWriteError);
  EXPECT_EQ(e.script.status, kStatusWriteError);
  EXPECT_FALSE(folder.exists("missing.otm"));
  ASSERT_EQ(p.boxes.size(), 2u);
  EXPECT_EQ(p.boxes[0].caption, u"Quadrel");
  EXPECT_EQ(p.boxes[0].text, u"Error 5: can't open the file\r\n" + s.outputFile);
  EXPECT_EQ(p.boxes[1].caption, u"Quadrel");
  EXPECT_EQ(p.boxes[1].text, u"Error 9: can't write the file\r\n" + s.outputFile);

  // Without the append flag the file is created.
  p.boxes.clear();
  s.append = false;
  e.script.status = kStatusOk;
  EXPECT_EQ(loadSaveFile(e, 7), kStatusOk);
  EXPECT_EQ(folder.get("missing.otm"), "text");
  EXPECT_TRUE(p.boxes.empty());
}

TEST_F(ScriptFileTest, UnwritableOutputGivesErrorNine) {
  e.script.settings.outputFile = folder.file("no/such/folder/out.otm");
  EXPECT_EQ(loadSaveFile(e, 7), kStatusWriteError);
  EXPECT_EQ(onlyBox().text, u"Error 9: can't write the file\r\n" + e.script.settings.outputFile);
}

TEST_F(ScriptFileTest, ChoosingAName) {
  p.fileDialogAnswers = {folder.file("chosen.txt")};
  e.script.status = kStatusOk;
  EXPECT_EQ(loadSaveFile(e, 4), kStatusOk);
  EXPECT_EQ(e.script.scriptText, folder.file("chosen.txt"));

  e.script.scriptText = u"unchanged";
  EXPECT_EQ(loadSaveFile(e, 4), kStatusCancelled);  // no answer left: cancelled
  EXPECT_EQ(e.script.scriptText, u"unchanged");
  EXPECT_EQ(onlyBox().text, u"Error 1: Operation cancelled by user.");
}

TEST_F(ScriptFileTest, SavingToAChosenFile) {
  p.fileDialogAnswers = {folder.file("saved.txt")};
  e.script.scriptText = u"log text";
  e.script.status = kStatusOpenError;
  EXPECT_EQ(loadSaveFile(e, 8), kStatusOk);
  EXPECT_EQ(folder.get("saved.txt"), "log text");

  EXPECT_EQ(loadSaveFile(e, 8), kStatusWriteError);
  EXPECT_EQ(onlyBox().caption, u"Quadrel");
  EXPECT_EQ(onlyBox().text, u"Error 3: can't write the file\r\n");
}

TEST_F(ScriptFileTest, OtherModesLeaveEverything) {
  e.script.status = kStatusOpenError;
  e.script.scriptText = u"same";
  EXPECT_EQ(loadSaveFile(e, 3), kStatusOpenError);
  EXPECT_EQ(loadSaveFile(e, 0), kStatusOpenError);
  EXPECT_EQ(e.script.scriptText, u"same");
  EXPECT_TRUE(p.boxes.empty());
}

}  // namespace
}  // namespace quadrel
