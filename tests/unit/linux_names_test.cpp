// The library on Linux names itself in its reports and about text, with its
// build date; the Windows names stay the default of every other platform.
#include "platform/headless/linux_names.h"

#include <gtest/gtest.h>

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/script/batch_run.h"
#include "core/script/reports.h"
#include "platform/headless/headless_platform.h"

namespace quadrel {
namespace {

struct LibraryLikePlatform : HeadlessPlatform {
  ProductNames productNames() const override { return linuxLibraryNames(); }
};

TEST(LinuxNamesTest, TheLibraryNamesItselfWithItsBuildDate) {
  LibraryLikePlatform platform;
  Engine e(platform);
  const Text block = informationBlock(e, true, false);
  EXPECT_EQ(block.rfind(u"Library name: libquadrel.so (", 0), 0u);
  EXPECT_NE(block.find(u"\r\nVersion: 0.0.4.9 - Built: " + Text(buildDate()) + u" (Unicode version)\r\n"), Text::npos);
  for (TextView windowsOnly : {u"Quadrel.dll", u"oTemar", u"Web page", u"Built: 66."})
    EXPECT_EQ(block.find(windowsOnly), Text::npos) << toUtf8(windowsOnly);
  EXPECT_EQ(aboutText(e, true).rfind(u"About libquadrel.so\r\n\r\nLibrary: libquadrel.so\r\n", 0), 0u);
}

TEST(LinuxNamesTest, BuildDateIsADate) {
  const std::string date = toUtf8(buildDate());
  ASSERT_EQ(date.size(), 10u) << date;
  for (size_t k = 0; k < date.size(); ++k)
    EXPECT_TRUE(k == 4 || k == 7 ? date[k] == '-' : std::isdigit(static_cast<unsigned char>(date[k]))) << date;
}

TEST(LinuxNamesTest, OtherPlatformsKeepThePlugInsNames) {
  HeadlessPlatform platform;
  Engine e(platform);
  EXPECT_EQ(informationBlock(e, false, false).rfind(u"Plugin name: Quadrel.dll (", 0), 0u);
}

}  // namespace
}  // namespace quadrel
