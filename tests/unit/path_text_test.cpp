// Path texts in both notations, full paths against the data folder, and the
// file probes of the script entry.
#include "core/text/path_text.h"

#include "core/script/command_line.h"
#include "core/script/script_paths.h"
#include "core/text/file_probe.h"
#include "script_entry_fixture.h"

namespace quadrel {
namespace {

using testing_support::ScriptEntryTest;
using testing_support::TempFolder;

TEST(PathTextTest, Normalize) {
  EXPECT_EQ(normalizePath(u"/data/./sub//a.otm", u'/'), u"/data/sub/a.otm");
  EXPECT_EQ(normalizePath(u"/data/sub/../a.otm", u'/'), u"/data/a.otm");
  EXPECT_EQ(normalizePath(u"/../a.otm", u'/'), u"/a.otm");
  EXPECT_EQ(normalizePath(u"../a.otm", u'/'), u"../a.otm");
  EXPECT_EQ(normalizePath(u"c:/data\\sub\\", u'\\'), u"c:\\data\\sub\\");
  EXPECT_EQ(normalizePath(u"\\\\server\\share\\a.otm", u'\\'), u"\\\\server\\share\\a.otm");
  EXPECT_EQ(normalizePath(u"sub\\a.otm", u'/'), u"sub/a.otm");
}

class FullPathTest : public ScriptEntryTest {};

TEST_F(FullPathTest, RelativeNamesJoinTheBaseFolder) {
  EXPECT_EQ(makeFullPath(e, u"/data/", u"a.otm", 1), u"/data/a.otm");
  EXPECT_EQ(makeFullPath(e, u"/data", u"sub\\a.otm", 1), u"/data/sub/a.otm");
  EXPECT_EQ(makeFullPath(e, u"/data/", u"../a.otm", 1), u"/a.otm");
  EXPECT_EQ(makeFullPath(e, u"/data/", u"/other/a.otm", 1), u"/other/a.otm");
  // A name that starts like the base folder is kept as it is.
  EXPECT_EQ(makeFullPath(e, u"data/", u"data/a.otm", 1), u"data/a.otm");
  EXPECT_EQ(makeFullPath(e, u"/data/", u"", 1), u"");
}

TEST_F(FullPathTest, OutputNamingAFolder) {
  EXPECT_TRUE(outputNamesFolder(e, u""));
  EXPECT_TRUE(outputNamesFolder(e, u"out\\"));
  std::filesystem::create_directory(folder.path("results"));
  EXPECT_TRUE(outputNamesFolder(e, u"results"));
  EXPECT_FALSE(outputNamesFolder(e, u"out.otm"));
}

TEST(FileAttrTest, AttributesAndProbes) {
  TempFolder folder;
  folder.put("a.otm", "x");
  EXPECT_EQ(fileAttr(folder.text(), -1, false), kAttrDirectory);
  EXPECT_EQ(fileAttr(folder.file("missing.otm"), -1, false), -1);
  const int32_t file = fileAttr(folder.file("a.otm"), -1, false);
  EXPECT_NE(file, -1);
  EXPECT_EQ(file & kAttrDirectory, 0);

  // With a mask: the bits when any is set, else -1.
  EXPECT_EQ(fileAttr(folder.text(), kAttrDirectory, false), kAttrDirectory);
  EXPECT_EQ(fileAttr(folder.file("a.otm"), kAttrDirectory, false), -1);

  // The probe: an existing file opens, a new one can be made (and is gone again).
  EXPECT_EQ(fileAttr(folder.file("a.otm"), 0, true), kAttrOpenable);
  EXPECT_EQ(fileAttr(folder.file("new.otm"), 0, true), kAttrCreatable);
  EXPECT_FALSE(folder.exists("new.otm"));
  EXPECT_EQ(fileAttr(folder.file("no/such/folder/new.otm"), 0, true), -1);
  EXPECT_EQ(fileAttr(folder.file("new.otm"), 0, false), -1);
}

}  // namespace
}  // namespace quadrel
