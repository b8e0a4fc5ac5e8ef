// Script files: encodings by byte-order mark, line ends, and the file entry
// by mode with its boxes and status codes.
#include "core/script/load_save_modes.h"
#include "core/script/script_file.h"

#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

class ScriptFileTest : public ::testing::Test {
 protected:
  HeadlessPlatform p;
  Engine e{p};
  testing_support::TempFolder folder;

  Text decoded(std::string_view bytes) {
    Text text, refusal;
    EXPECT_EQ(decodeText(e, bytes, text, refusal), ReadResult::Ok);
    return text;
  }
  Text refused(std::string_view bytes) {
    Text text = u"stale", refusal;
    EXPECT_EQ(decodeText(e, bytes, text, refusal), ReadResult::RefusedEncoding);
    EXPECT_TRUE(text.empty());
    return refusal;
  }
  void expectBoxes(std::initializer_list<Text> texts) {
    ASSERT_EQ(p.boxes.size(), texts.size());
    size_t k = 0;
    for (const Text& t : texts) {
      EXPECT_EQ(p.boxes[k].caption, u"Quadrel");
      EXPECT_EQ(p.boxes[k++].text, t);
    }
    p.boxes.clear();
  }
};

TEST_F(ScriptFileTest, AcceptedEncodings) {
  EXPECT_EQ(decoded("\xEF\xBB\xBF"
                    "Expr = 1"),
            u"Expr = 1\r\n");
  EXPECT_EQ(decoded("\xEF\xBB\xBF"), u"");
  EXPECT_EQ(decoded(""), u"");
  // UTF-16 LE: "a\u00e9\n" "\U0001F600\r\n" "c" and an odd last byte, dropped.
  const std::string utf16(
      "\xFF\xFE"
      "a\0\xE9\0\n\0"
      "\x3D\xD8\x00\xDE\r\0\n\0"
      "c\0"
      "d",
      19);
  EXPECT_EQ(decoded(utf16), u"a\u00e9\r\n\U0001F600\r\nc\r\n");
  // No mark: UTF-8 when valid, else the ANSI code page (Windows-1252 here),
  // and one stray byte makes the whole file ANSI.
  EXPECT_EQ(decoded("x = \xC3\xA4"), u"x = \u00e4\r\n");
  EXPECT_EQ(decoded("caf\xE9 \x80"), u"caf\u00e9 \u20ac\r\n");
  EXPECT_EQ(decoded("\xC3\xA4 \xFF"), u"\u00c3\u00a4 \u00ff\r\n");
}

TEST_F(ScriptFileTest, RefusedMarks) {
  EXPECT_EQ(refused(std::string("\xFE\xFF\0a", 4)), u"UTF-16 (big endian) BOM detected.");
  EXPECT_EQ(refused(std::string("\xFF\xFE\0\0a\0\0\0", 8)), u"UTF-32 (little endian) BOM detected.");
  EXPECT_EQ(refused(std::string("\0\0\xFE\xFF\0\0\0a", 8)), u"UTF-32 (big endian) BOM detected.");
}

TEST_F(ScriptFileTest, EveryKindOfLineEndBecomesCrLf) {
  EXPECT_EQ(decoded("a\nb\r\nc\rd"), u"a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(decoded("a\r\r\nb\n\n"), u"a\r\n\r\nb\r\n\r\n");
  EXPECT_EQ(decoded("\n\r"), u"\r\n\r\n");
}

TEST_F(ScriptFileTest, ReadingByMode) {
  std::filesystem::create_directories(folder.path("lib"));
  folder.put("lib/ShowCmds.otm", "Expr = x\n");
  folder.put("run.log", "line 1\r\n");
  folder.put("in.otm", "Expr = 1\r\nExpr = 2");
  RunSettings& s = e.script.settings;
  p.libraryFile = folder.file("lib/libquadrel.so");
  s.logFileName = folder.file("run.log");
  s.inputFile = folder.file("in.otm");

  EXPECT_EQ(loadSaveFile(e, 1), kStatusOk);
  EXPECT_EQ(e.script.scriptText, u"line 1\r\n");
  EXPECT_EQ(loadSaveFile(e, 2), kStatusOk);
  EXPECT_EQ(e.script.scriptText, u"Expr = x\r\n");
  EXPECT_EQ(loadSaveFile(e, 6), kStatusOk);
  EXPECT_EQ(e.script.scriptText, u"Expr = 1\r\nExpr = 2\r\n");
  expectBoxes({});

  // Missing files: their box, status -2, and the text stays.
  p.libraryFile = folder.file("elsewhere/libquadrel.so");
  s.logFileName = folder.file("none.log");
  s.inputFile = folder.file("none.otm");
  for (int mode : {1, 2, 6}) {
    e.script.status = kStatusOk;
    EXPECT_EQ(loadSaveFile(e, mode), kStatusOpenError);
  }
  EXPECT_EQ(e.script.scriptText, u"Expr = 1\r\nExpr = 2\r\n");
  expectBoxes({u"Error 7: can't read the file\r\n" + s.logFileName,
               u"Error 8: can't read the file\r\n" + folder.file("elsewhere/ShowCmds.otm"),
               u"Error 4: can't read the file\r\n" + s.inputFile});
}

TEST_F(ScriptFileTest, RefusedEncodingEmptiesTheTextAndLeavesTheStatus) {
  folder.put("be.otm", std::string("\xFE\xFF\0E\0x", 6));
  e.script.settings.inputFile = folder.file("be.otm");
  e.script.scriptText = u"old";
  e.script.status = kStatusWriteError;
  EXPECT_EQ(loadSaveFile(e, 6), kStatusWriteError);
  EXPECT_EQ(e.script.scriptText, u"");
  expectBoxes(
      {u"UTF-16 (big endian) BOM detected.\r\nUnable to convert the file. Try to save it in ASCII, UTF8 or "
       u"Unicode format."});
}

TEST_F(ScriptFileTest, SavingReplacesOrAppendsUtf8) {
  RunSettings& s = e.script.settings;
  s.outputFile = folder.file("out.otm");
  folder.put("out.otm", "old content");
  e.script.scriptText = u"x = \u00e4\r\n";
  EXPECT_EQ(loadSaveFile(e, 7), kStatusOk);
  s.append = true;
  e.script.scriptText = u"second";
  EXPECT_EQ(loadSaveFile(e, 7), kStatusOk);
  EXPECT_EQ(folder.get("out.otm"), "x = \xC3\xA4\r\nsecond");  // nothing added between
  expectBoxes({});
}

TEST_F(ScriptFileTest, AppendedTextStartsOnALineOfItsOwn) {
  RunSettings& s = e.script.settings;
  s.outputFile = folder.file("out.otm");
  s.append = true;
  e.script.scriptText = u"Ln 2: next";
  const std::pair<const char*, const char*> cases[] = {
      {"", "Ln 2: next"},
      {"'--- End -----", "'--- End -----\r\nLn 2: next"},
      {"done\r\n", "done\r\nLn 2: next"},
      {"done\n", "done\nLn 2: next"},
      {"done\r", "done\rLn 2: next"},
  };
  for (const auto& [before, after] : cases) {
    folder.put("out.otm", before);
    EXPECT_EQ(loadSaveFile(e, 7), kStatusOk);
    EXPECT_EQ(folder.get("out.otm"), after) << "after " << testing::PrintToString(std::string(before));
  }
  expectBoxes({});
}

TEST_F(ScriptFileTest, AppendingToAMissingFileFailsWithTwoBoxes) {
  RunSettings& s = e.script.settings;
  s.outputFile = folder.file("missing.otm");
  s.append = true;
  e.script.scriptText = u"text";
  EXPECT_EQ(loadSaveFile(e, 7), kStatusWriteError);
  EXPECT_FALSE(folder.exists("missing.otm"));
  expectBoxes(
      {u"Error 5: can't open the file\r\n" + s.outputFile, u"Error 9: can't write the file\r\n" + s.outputFile});

  s.append = false;  // without the append flag the file is created
  e.script.status = kStatusOk;
  EXPECT_EQ(loadSaveFile(e, 7), kStatusOk);
  EXPECT_EQ(folder.get("missing.otm"), "text");
}

TEST_F(ScriptFileTest, FileDialogModes) {
  p.fileDialogAnswers = {folder.file("chosen.txt"), folder.file("saved.txt")};
  e.script.status = kStatusOpenError;
  EXPECT_EQ(loadSaveFile(e, 4), kStatusOpenError);  // a chosen name leaves the status
  EXPECT_EQ(e.script.scriptText, folder.file("chosen.txt"));
  e.script.scriptText = u"log text";
  EXPECT_EQ(loadSaveFile(e, 8), kStatusOk);
  EXPECT_EQ(folder.get("saved.txt"), "log text");
  expectBoxes({});

  // No answers left: the dialogs are cancelled.
  EXPECT_EQ(loadSaveFile(e, 4), kStatusCancelled);
  EXPECT_EQ(e.script.scriptText, u"log text");
  EXPECT_EQ(loadSaveFile(e, 8), kStatusWriteError);
  expectBoxes({u"Error 1: Operation cancelled by user.", u"Error 3: can't write the file\r\n"});
}

}  // namespace
}  // namespace quadrel
