// Input past one of the limits of core/limits.h: a clear error (code 13 for
// the commands, a report that names the limit), never unbounded work or
// memory; and the logs that stay within their size.
#include "core/limits.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/diag/message_channel.h"
#include "core/matrix/matrix_library.h"
#include "core/plot/plot_files.h"
#include "core/script/executor.h"
#include "core/text/bounded_log.h"
#include "core/text/text_files.h"
#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

bool contains(TextView text, TextView part) { return text.find(part) != TextView::npos; }

class LimitsTest : public EngineTest {
 protected:
  ExecOptions options;
  Text result;
  int32_t run(TextView script) { return execCommands(e, script, result, options); }
};

TEST_F(LimitsTest, ExprFOfAnEndlessDeviceIsRefusedWithTheFileSizeLimit) {
  EXPECT_EQ(run(u"ExprF = /dev/zero"), 1001);
  EXPECT_EQ(e.errors.code, kErrInvalidArgument);
  EXPECT_TRUE(contains(result, u"===> ERROR n. = 13")) << toUtf8(result);
  EXPECT_TRUE(contains(e.errors.log, u"Limit: a text file may hold at most 64 MiB")) << toUtf8(e.errors.log);
  EXPECT_TRUE(contains(e.errors.log, u"/dev/zero"));
}

TEST_F(LimitsTest, ExprFOfAFileOneBytePastTheLimitIsRefusedAndOneAtTheLimitIsRead) {
  testing_support::TempFolder folder;
  const std::filesystem::path big = folder.path("big.txt");
  {
    std::ofstream out(big, std::ios::binary);
    out << "Expr = 6*7";
  }
  // A sparse file: zeros after the formula, read as a text with NULs.
  std::filesystem::resize_file(big, kMaxTextFileBytes + 1);
  EXPECT_EQ(run(u"ExprF = " + fromUtf8(big.string())), 1001);
  EXPECT_EQ(e.errors.code, kErrInvalidArgument);
  std::string bytes;
  EXPECT_EQ(readFileBytes(fromUtf8(big.string()), bytes), FileRead::TooLarge);
  EXPECT_TRUE(bytes.empty());
  std::filesystem::resize_file(big, 64);
  EXPECT_EQ(readFileBytes(fromUtf8(big.string()), bytes), FileRead::Ok);
  EXPECT_EQ(bytes.size(), 64u);
  EXPECT_EQ(readFileBytes(fromUtf8(folder.path("missing.txt").string()), bytes), FileRead::OpenFailed);
}

struct PlotCase {
  const char16_t* line;
  bool refused;
};

TEST_F(LimitsTest, PlotsPastTheIntervalLimitAreRefusedBeforeAnySample) {
  const PlotCase cases[] = {
      {u"Plot(0; x; 1; 2000000000) = x", true},
      {u"Plot(0; x; 1; 1000001) = x", true},
      {u"Plot(0; x; 1; 1000) = x", false},
  };
  for (const PlotCase& c : cases) {
    clearErrorLog(e);
    run(c.line);
    EXPECT_EQ(contains(e.errors.log, u"Limit: a plot may have at most 1000000 intervals"), c.refused) << toUtf8(c.line);
    if (c.refused) {
      EXPECT_TRUE(e.plot.xs.empty()) << toUtf8(c.line);
    }
  }
}

TEST_F(LimitsTest, InversionAndSystemsPastTheWorkLimitAreRefusedUnstarted) {
  // Order 200 by the adjugate: 200^2 determinants of order 199, far past
  // the limit; order 20 is quick.
  for (int n : {200, 20}) {
    std::vector<double> a(size_t(n) * n, 0.0), b(size_t(n), 1.0), x(size_t(n), 0.0);
    for (int i = 0; i < n; ++i) a[size_t(i) * n + i] = 2.0;
    const bool tooLarge = n == 200;
    std::vector<double> inverse = a;
    EXPECT_EQ(matrix_ops::invert(e, inverse.data(), n), tooLarge ? kMatInvalidParameter : -1) << n;
    if (!tooLarge) {
      EXPECT_EQ(inverse[0], 0.5);
    }
    EXPECT_EQ(matrix_ops::vectorCoefficients(e, a.data(), n, n, b.data(), x.data()),
              tooLarge ? kMatInvalidParameter : -1)
        << n;
  }
}

TEST_F(LimitsTest, ErrorLogKeepsItsNewestPartWithinTheLimit) {
  // Every failing evaluation of a long formula adds one report.
  Text longFormula;
  for (int k = 0; k < 10000; ++k) longFormula.append(u"1+");
  longFormula.append(u"1/0");
  for (int k = 0; k < 400; ++k) evaluate(e, longFormula, true);
  EXPECT_LE(e.errors.log.size(), kMaxLogChars);
  EXPECT_EQ(e.errors.log.rfind(kDroppedMark, 0), 0u) << toUtf8(e.errors.log.substr(0, 80));
  // The newest report is whole and quotes the formula around the error only.
  const size_t last = e.errors.log.rfind(u"Procedure : '");
  ASSERT_NE(last, Text::npos);
  const TextView report = TextView(e.errors.log).substr(last);
  EXPECT_TRUE(contains(report, u"Division by zero"));
  EXPECT_LT(report.size(), 2000u);
}

struct QuoteCase {
  size_t padding;  // blanks in front of the failing division
  bool whole;
};

TEST_F(LimitsTest, ReportsQuoteShortFormulasWholeAndLongOnesAroundTheError) {
  const QuoteCase cases[] = {{0, true}, {kReportWholeChars - 5, true}, {kReportWholeChars, false}, {200000, false}};
  for (const QuoteCase& c : cases) {
    clearErrorLog(e);
    const Text formula = Text(c.padding, u' ') + u"2+3/0";
    evaluate(e, formula, true);
    const bool quotedWhole = contains(e.errors.log, u"  expression  : " + formula + u"\r\n");
    EXPECT_EQ(quotedWhole, c.whole) << c.padding;
    EXPECT_TRUE(contains(e.errors.log, u"Division by zero")) << c.padding;
    if (!c.whole) {
      // About kReportQuoteChars on each side of the error: the blanks in
      // front are cut, the failing division stays.
      const size_t at = e.errors.log.find(u"  expression  : ...");
      ASSERT_NE(at, Text::npos) << c.padding;
      const TextView quote = TextView(e.errors.log).substr(at, e.errors.log.find(u"\r\n", at) - at);
      EXPECT_TRUE(contains(quote, u"3/0")) << c.padding;
      EXPECT_LE(quote.size(), 2 * kReportQuoteChars + 30) << c.padding;
      EXPECT_LT(e.errors.log.size(), 4 * kReportWholeChars) << c.padding;
    }
  }
}

TEST(BoundedLog, AppendsKeepTheNewestLinesAndCountWhatWasDropped) {
  Text log;
  for (int k = 0; k < 100; ++k) appendBounded(log, u"line " + intText(k) + u"\r\n", 200);
  EXPECT_LE(log.size(), 200u);
  EXPECT_EQ(log.rfind(kDroppedMark, 0), 0u);
  EXPECT_TRUE(contains(log, u"line 99\r\n"));
  EXPECT_FALSE(contains(log, u"line 0\r\n"));
  // The dropped count and the kept text add up to everything appended.
  size_t total = 0;
  for (int k = 0; k < 100; ++k) total += (u"line " + intText(k) + u"\r\n").size();
  const size_t countAt = kDroppedMark.size();
  const size_t countEnd = log.find(u' ', countAt);
  const size_t dropped = size_t(std::stoull(toUtf8(log.substr(countAt, countEnd - countAt))));
  const size_t markEnd = log.find(u"\r\n") + 2;
  EXPECT_EQ(dropped + (log.size() - markEnd), total);
}

TEST(BoundedLog, ShortLogsStayAsTheyAre) {
  Text log;
  appendBounded(log, u"a\r\n", 100);
  appendBounded(log, u"b\r\n", 100);
  EXPECT_EQ(log, u"a\r\nb\r\n");
  EXPECT_EQ(shortened(u"abcdef", 3), u"abc...");
  EXPECT_EQ(shortened(u"abc", 3), u"abc");
}

TEST(MessageLog, StaysWithinTheLimit) {
  HeadlessPlatform platform;
  MessageChannel channel;
  channel.mode = kMsgLog;
  const Text message(1000, u'x');
  for (size_t k = 0; k < 2 * kMaxMessageLogChars / message.size(); ++k)
    channel.send(platform, message, u"title", false);
  EXPECT_LE(channel.log.size(), kMaxMessageLogChars);
  EXPECT_GE(channel.log.size(), kMaxMessageLogChars / 2);
  EXPECT_EQ(channel.log.rfind(kDroppedMark, 0), 0u);
}

TEST(PointsFile, GoesToTheUserDataFolderWhenTheLibraryFolderCannotBeWritten) {
  testing_support::TempFolder folder;
  HeadlessPlatform platform;
  // A library "folder" that is a file: nothing can be created inside it.
  const std::filesystem::path blocker = folder.path("lib");
  std::ofstream(blocker) << "not a folder";
  platform.libraryFile = fromUtf8((blocker / "libquadrel.so").string());
  platform.dataDir = fromUtf8(folder.path("data").string()) + u"/";
  Engine e(platform);
  e.plot.xs = {0, 1};
  e.plot.ys = {0, 2};
  ASSERT_TRUE(writePointsFile(e, u"points.txt"));
  std::ifstream in(folder.path("data") / "otmXNpp" / "points.txt");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "Id\tX\tY\r");
}

}  // namespace
}  // namespace quadrel
