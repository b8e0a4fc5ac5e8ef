// A file name with no form on this system (a lone surrogate where files are
// named by UTF-8 bytes) is a file that cannot be opened: every file command
// reports it the usual way, and nothing escapes as an exception.
#include "core/script/executor.h"
#include "core/script/load_save_modes.h"
#include "core/script/script_file.h"
#include "script_entry_fixture.h"

namespace quadrel {
namespace {

using testing_support::contains;
using testing_support::ScriptEntryTest;

const Text kBadName =
    u"a\xD800"
    u"b";

class UnconvertibleName : public ScriptEntryTest {
 protected:
  Text boxTexts() const {
    Text all;
    for (const RecordedBox& b : p.boxes) all.append(b.text + u"|");
    return all;
  }
};

// The input that ended the quadrel program: a UTF-16 script whose ExprF
// names such a file. The run goes on after the failing line.
TEST_F(UnconvertibleName, ScriptFileRunReportsTheFileAndGoesOn) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : u"ExprF = " + kBadName + u"\r\nExpr = 1+1\r\n") {
    bytes.push_back(char(c & 0xFF));
    bytes.push_back(char(c >> 8));
  }
  folder.put("crash.otm", bytes);
  run(u"/i crash.otm");
  EXPECT_TRUE(contains(e.script.resultText, u"===> ERROR n. = -2: File Open Error (not found?)"));
  EXPECT_TRUE(contains(e.script.resultText, u"Number = 2.0000"));
  EXPECT_TRUE(contains(e.script.resultText, u"'Executed Commands: 2, Errors found: 1\r\n"));
  EXPECT_EQ(boxTexts(), u"Error 3: Couldn't open the file!\r\n" + folder.text() + kBadName + u"|");
}

TEST_F(UnconvertibleName, EveryFileCommandReportsIt) {
  folder.put("in.otm", "Expr = 2\r\n");
  struct Row {
    Text script;
    int32_t code;
    Text box;  // the one box the command shows, without the file name
  };
  const Row rows[] = {
      {u"ExprF = " + kBadName, 1001, u"Error 3: Couldn't open the file!\r\n"},
      {u"ExprF = in.otm " + kBadName, 1000, u"Error 1: can't write the file.\r\n"},
      {u"FunctF = f " + kBadName, 1001, u"Error 3: Couldn't open the file!\r\n"},
      // A number result names no file.
      {u"StoExpr(v; fileout; " + kBadName + u") = 2", 1000, u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.script));
    p.boxes.clear();
    Text result;
    EXPECT_EQ(execCommands(e, row.script, result, ExecOptions()), row.code) << toUtf8(result);
    EXPECT_EQ(boxTexts(), row.box.empty() ? Text() : row.box + folder.text() + kBadName + u"|");
  }
}

TEST_F(UnconvertibleName, FileModesOfTheFileEntryFail) {
  const Text bad = folder.text() + kBadName;
  s.logFileName = s.inputFile = s.outputFile = bad;
  p.fileDialogAnswers = {bad};
  struct Row {
    int mode;
    int32_t status;
    Text box;
  };
  const Row rows[] = {
      {1, kStatusOpenError, u"Error 7: can't read the file\r\n" + bad},
      {6, kStatusOpenError, u"Error 4: can't read the file\r\n" + bad},
      {7, kStatusWriteError, u"Error 9: can't write the file\r\n" + bad},
      {8, kStatusWriteError, u"Error 3: can't write the file\r\n" + bad},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mode);
    p.boxes.clear();
    e.script.status = kStatusOk;
    EXPECT_EQ(loadSaveFile(e, row.mode), row.status);
    ASSERT_EQ(p.boxes.size(), 1u);
    EXPECT_EQ(p.boxes[0].text, row.box);
  }
}

}  // namespace
}  // namespace quadrel
