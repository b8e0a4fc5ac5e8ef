// Plots: sampling and bounds, the layout of the image, point files, the
// pictures written as JPEG (decoded and looked into), their numbering, and
// the Plot command's result lines.
#include <cstdio>
#include <limits>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "core/eval/evaluator.h"
#include "core/ground/error_table.h"
#include "core/plot/plot_command.h"
#include "core/plot/plot_files.h"
#include "core/plot/plot_layout.h"
#include "core/plot/sampling.h"
#include "core/script/executor.h"
#include "core/text/number_text.h"
#include "script_entry_fixture.h"

namespace quadrel {
namespace {

using testing_support::contains;
using testing_support::ScriptEntryTest;
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
  bool reddish(int x, int y) const {
    const uint8_t* p = at(x, y);
    return p[0] > 100 && p[0] > p[1] + 60 && p[0] > p[2] + 60;
  }
  // A red pixel within one pixel of (x, y).
  bool redNear(int x, int y) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (x + dx >= 0 && x + dx < width && y + dy >= 0 && y + dy < height && reddish(x + dx, y + dy))
          return true;
    return false;
  }
  bool white(int x, int y) const {
    const uint8_t* p = at(x, y);
    return p[0] > 180 && p[1] > 180 && p[2] > 180;
  }
};

Picture decodeJpeg(const std::filesystem::path& file) {
  Picture pic;
  std::FILE* f = std::fopen(file.string().c_str(), "rb");
  if (!f)
    return pic;
  jpeg_decompress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, f);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  pic.width = int(info.output_width);
  pic.height = int(info.output_height);
  pic.rgb.resize(size_t(pic.width) * size_t(pic.height) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pic.rgb.data() + size_t(info.output_scanline) * size_t(pic.width) * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(f);
  return pic;
}

class PlotTest : public ScriptEntryTest {
 protected:
  void SetUp() override {
    ScriptEntryTest::SetUp();
    e.plot.outputFolder = folder.text();
  }
  double value(TextView formula) {
    const EvalOutcome outcome = evaluate(e, formula, true);
    EXPECT_TRUE(outcome.ok() && outcome.isNumber());
    return outcome.value;
  }
  Text script(TextView text, bool savePlots = false) {
    ExecOptions o;
    o.savePlots = savePlots;
    Text result;
    execCommands(e, text, result, o);
    return result;
  }
};

// ---- sampling and bounds ----

struct SamplingCase {
  const char16_t* formula;
  const char16_t* variable;
  double xMin, xMax;
  int32_t n;
  int32_t code;  // -1, or the plot's error code
  int32_t count, valid;
  PlotBounds bounds;
};

TEST_F(PlotTest, SamplesAndBounds) {
  // The evaluator's own values of the functions.
  const double sin1 = value(u"sin(1)"), e1 = value(u"exp(1)");
  const double lastX = [] {
    double x = 0;
    for (int i = 0; i < 100; ++i) x += 0.1;
    return x;
  }();
  const SamplingCase cases[] = {
      // The last x lies just below 10; its text, with 10 decimals, is "10".
      {u"x*x", u"x", 0, 10, 100, -1, 101, 101, {0, lastX, 0, 100}},
      {u"t^3", u"t", -1, 1, 4, -1, 5, 5, {-1, 1, -1, 1}},
      // The variable inside exp is no identifier of its own.
      {u"exp(x)", u"x", 0, 1, 1, -1, 2, 2, {0, 1, 1, e1}},
      // sin(0)/0 fails; the bounds come from the other samples.
      {u"sin(x)/x", u"x", -1, 1, 2, -1, 3, 2, {-1, 1, sin1, sin1}},
      {u"5", u"x", 0, 1, 3, -1, 4, 4, {0, 1, 5, 5}},
      // 30 additions of 0.2 end just beyond 3: that last point is 3 itself.
      {u"x", u"x", -3, 3, 30, -1, 31, 31, {-3, 3, -3, 3}},
      {u"1/0", u"x", 0, 1, 2, kErrDivisionByZero, 3, 0, {}},
      {u"x", u"x", 0, 10, 0, kErrInvalidArgument, 0, 0, {}},
      {u"x", u"x", 0, 10, -5, kErrInvalidArgument, 0, 0, {}},
      {u"x", u"x", 10, 10, 5, kErrInvalidArgument, 0, 0, {}},
      {u"x", u"x", 10, 0, 5, kErrInvalidArgument, 0, 0, {}},
      {u"x", u"x", 0, kInf, 5, kErrInvalidArgument, 0, 0, {}},
      {u"x", u"x", -1e308, 1e308, 5, kErrInvalidArgument, 0, 0, {}},
  };
  for (const SamplingCase& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula) + " n=" + std::to_string(c.n));
    std::vector<double> xs{7, 7}, ys{7, 7};
    const SampleResult r = sampleFormula(e, c.formula, c.variable, c.xMin, c.xMax, c.n, xs, ys);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.count, c.count);
    EXPECT_EQ(xs.size(), size_t(c.count));
    EXPECT_EQ(r.valid, c.valid);
    if (c.valid > 0) {
      EXPECT_DOUBLE_EQ(r.bounds.xMin, c.bounds.xMin);
      EXPECT_DOUBLE_EQ(r.bounds.xMax, c.bounds.xMax);
      EXPECT_DOUBLE_EQ(r.bounds.yMin, c.bounds.yMin);
      EXPECT_DOUBLE_EQ(r.bounds.yMax, c.bounds.yMax);
    }
    for (size_t i = 0; i < xs.size(); ++i) EXPECT_LE(xs[i], c.xMax);
  }
}

TEST_F(PlotTest, FailedSamplesAreInfinite) {
  std::vector<double> xs, ys;
  sampleFormula(e, u"sin(x)/x", u"x", -1, 1, 2, xs, ys);
  ASSERT_EQ(ys.size(), 3u);
  EXPECT_EQ(ys[1], kInf);
  EXPECT_DOUBLE_EQ(ys[0], value(u"sin(1)"));
  // A tiny step that would never reach xmax by adding still stops at n + 1.
  const SampleResult r = sampleFormula(e, u"x", u"x", 1e16, 1e16 + 4, 1000, xs, ys);
  EXPECT_LE(r.count, 1001);
}

// ---- layout ----

TextSize fixedMeasure(TextView t) { return {int(t.size()) * 6, 13}; }

const PlotLabel* labelWithText(const PlotLayout& l, TextView text) {
  for (const PlotLabel& label : l.labels)
    if (label.text == text)
      return &label;
  return nullptr;
}

TEST_F(PlotTest, LayoutOfTheExamples) {
  struct Case {
    const char16_t* formula;
    double xMin, xMax;
    int32_t n;
    const char16_t *low, *high, *yLow, *yHigh;
    PixelPoint crossing;  // of the axes
  } cases[] = {
      {u"x*x", 0, 10, 100, u"0", u"10", u"0", u"100", {0, 345}},
      {u"x^3", -1, 1, 4, u"-1", u"1", u"-1", u"1", {200, 173}},
      // A constant: its range widened by half its value each way.
      {u"7", -2, 2, 4, u"-2", u"2", u"3.5", u"10.5", {200, 518}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    std::vector<double> xs, ys;
    const SampleResult r = sampleFormula(e, c.formula, u"x", c.xMin, c.xMax, c.n, xs, ys);
    const PlotLayout l =
        layoutPlot(r.bounds, r.valid > 0, c.formula, xs.data(), ys.data(), xs.size(), 400, 400, fixedMeasure);
    EXPECT_EQ(l.width, 400);
    EXPECT_EQ(l.height, 365);
    EXPECT_EQ(l.plotAreaHeight, 345);
    EXPECT_EQ(l.labels.front().text, u"Expr = " + Text(c.formula));
    EXPECT_EQ(l.labels.front().at.x, 0);
    EXPECT_EQ(l.yAxis[0].x, c.crossing.x);
    EXPECT_EQ(l.xAxis[0].y, c.crossing.y);
    for (const char16_t* text : {c.low, c.high, c.yLow, c.yHigh})
      EXPECT_NE(labelWithText(l, text), nullptr) << toUtf8(text);
    for (const PlotLabel& label : l.labels) {
      const TextSize s = fixedMeasure(label.text);
      EXPECT_GE(label.at.x, 0);
      EXPECT_GE(label.at.y, 0);
      EXPECT_LE(label.at.x + s.width, l.width) << toUtf8(label.text);
      EXPECT_LE(label.at.y + s.height, l.height) << toUtf8(label.text);
    }
    // The curve spans the plot area from top to bottom; a constant lies in the middle.
    int top = 1 << 20, bottom = -(1 << 20);
    for (const PixelPoint& p : l.curve) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
    if (c.formula[0] == u'7') {
      EXPECT_EQ(top, 173);
      EXPECT_EQ(bottom, 173);
    } else {
      EXPECT_EQ(top, 0);
      EXPECT_EQ(bottom, 345);
    }
  }
}

TEST_F(PlotTest, FailedPointsAreLeftOutOfTheCurve) {
  const double xs[] = {0, 1, 2, 3};
  const double ys[] = {0, kInf, 2, 3};
  const PlotLayout l = layoutPlot({0, 3, 0, 3}, true, u"f", xs, ys, 4, 400, 400, fixedMeasure);
  ASSERT_EQ(l.curve.size(), 3u);
  EXPECT_EQ(l.curve[1].x, 267);  // the point at x = 2 follows the one at x = 0
}

// ---- point files ----

TEST_F(PlotTest, PointFilesAsText) {
  script(u"Plot(0; x; 2; 2; pts.txt) = x*x\r\nPlot(-1; x; 1; 2; gap.txt) = sin(x)/x");
  EXPECT_EQ(folder.get("otmXNpp/pts.txt"), "Id\tX\tY\r\n0\t0\t0\r\n1\t1\t1\r\n2\t2\t4\r\n");
  EXPECT_EQ(fromUtf8(folder.get("otmXNpp/gap.txt")), u"Id\tX\tY\r\n0\t-1\t" +
                                                         trimNumberText(fixedText(value(u"sin(1)"))) + u"\r\n2\t1\t" +
                                                         trimNumberText(fixedText(value(u"sin(1)"))) + u"\r\n");
  // A shorter file replaces a longer one whole.
  script(u"Plot(0; x; 1; 1; pts.txt) = x");
  EXPECT_EQ(folder.get("otmXNpp/pts.txt"), "Id\tX\tY\r\n0\t0\t0\r\n1\t1\t1\r\n");
  // An absolute name is used as it is.
  const Text absolute = folder.file("abs.txt");
  script(u"Plot(0; x; 1; 1; " + absolute + u") = 2");
  EXPECT_EQ(folder.get("abs.txt"), "Id\tX\tY\r\n0\t0\t2\r\n1\t1\t2\r\n");
  EXPECT_TRUE(p.boxes.empty());
  // A file that cannot be written: the box, and the plot is still drawn.
  const Text r = script(u"Plot(0; x; 1; 1; " + folder.file("no/such/dir/p.txt") + u") = 2");
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].caption, u"rEroRezu");
  EXPECT_EQ(p.boxes[0].text, u"Error: can't write the file.\r\n" + folder.file("no/such/dir/p.txt"));
  EXPECT_FALSE(contains(r, u"ERROR"));
}

// ---- result lines ----

TEST_F(PlotTest, ResultLines) {
  EXPECT_EQ(script(u"Plot(0; x; 10; 100) = x*x"), u"Ln 1: Plot = Plot(0; x; 10; 100) = x*x:\r\n FileName => ");
  s.savePlotPath = u"0";
  EXPECT_EQ(script(u"Plot(0; x; 10; 100) = x*x", true),
            u"Ln 1: Plot = Plot(0; x; 10; 100) = x*x:\r\n FileName => " + folder.text() + u"aPlotNr_01.jpg");
  // A bad interval: code 13, no window, no picture number used.
  EXPECT_EQ(script(u"Plot(0; x; 10; 0) = x", true),
            u"Ln 1: Plot = Plot(0; x; 10; 0) = x:\r\n FileName => ===> ERROR n. = 13: " + Text(describeCode(13)));
  EXPECT_EQ(e.plot.pictureCounter, 1);
  // Capture only: no file, an empty name.
  s.savePlotPath = u"";
  EXPECT_EQ(script(u"Plot(0; x; 1; 1) = x", true), u"Ln 1: Plot = Plot(0; x; 1; 1) = x:\r\n FileName => ");
}

TEST_F(PlotTest, WindowsLiveUntilTheNextRun) {
  script(u"Plot(0; x; 1; 1) = x\r\nPlot(0; x; 1; 1) = 2*x");
  ASSERT_GE(e.plot.slots.size(), 3u);
  EXPECT_TRUE(e.plot.slots[1].window);
  EXPECT_TRUE(e.plot.slots[2].window);
  script(u"Expr = 1");
  EXPECT_FALSE(e.plot.slots[1].window);
  EXPECT_FALSE(e.plot.slots[2].window);
  EXPECT_EQ(e.script.plotWindowCount, 0);
}

TEST_F(PlotTest, RedrawSamplesTheNewRange) {
  script(u"Plot(0; x; 10; 10) = x*x\r\nPlot(0; x; 1; 2) = x");
  ASSERT_EQ(redrawPlot(e, 1, 2, 4), -1);
  ASSERT_EQ(e.plot.xs.size(), 11u);
  EXPECT_DOUBLE_EQ(e.plot.xs.front(), 2);
  EXPECT_DOUBLE_EQ(e.plot.slots[1].bounds.yMax, 16);
  EXPECT_EQ(redrawPlot(e, 1, 4, 2), kErrInvalidArgument);
  EXPECT_EQ(e.plot.slots[1].xMin, 2);
  EXPECT_EQ(redrawPlot(e, 7, 0, 1), kErrInvalidArgument);
}

// ---- pictures ----

TEST_F(PlotTest, PicturesAreNumberedAndHoldTheCurve) {
  s.savePlotPath = u"0";
  Text lines;
  for (int k = 0; k < 10; ++k) lines += u"Plot(0; x; 10; 100) = x*x\r\n";
  const Text r = script(lines, true);
  EXPECT_TRUE(
      contains(r, u"Ln 1: Plot = Plot(0; x; 10; 100) = x*x:\r\n FileName => " + folder.text() + u"aPlotNr_01.jpg"));
  EXPECT_TRUE(
      contains(r, u"Ln 9: Plot = Plot(0; x; 10; 100) = x*x:\r\n FileName => " + folder.text() + u"aPlotNr_09.jpg"));
  EXPECT_TRUE(
      contains(r, u"Ln 10: Plot = Plot(0; x; 10; 100) = x*x:\r\n FileName => " + folder.text() + u"aPlotNr_10.jpg"));
  EXPECT_FALSE(folder.exists("aPlotNr_11.jpg"));

  const Picture pic = decodeJpeg(folder.path("aPlotNr_10.jpg"));
  ASSERT_EQ(pic.width, 400);
  ASSERT_EQ(pic.height, 365);
  // Red on the curve y = x^2 at sampled x (x = 2, 5, 8: pixel 40 per unit).
  for (double x : {2.0, 5.0, 8.0}) {
    const int px = int(std::lround(x * 40)), py = int(std::lround(345 - x * x * 345 / 100));
    EXPECT_TRUE(pic.redNear(px, py)) << "x = " << x;
  }
  // The y axis x = 0 runs down column 0; the x axis y = 0 along row 345.
  EXPECT_TRUE(pic.white(0, 200));
  EXPECT_TRUE(pic.white(200, 345));
  // Black background away from curve, axes and labels.
  EXPECT_LT(pic.at(300, 100)[0], 60);
}

TEST_F(PlotTest, PicturesOfCubeAndConstant) {
  s.savePlotPath = u"0";
  script(u"Plot(-1; t; 1; 4) = t^3\r\nPlot(-3; x; 3; 30) = 2", true);
  const Picture cube = decodeJpeg(folder.path("aPlotNr_01.jpg"));
  ASSERT_EQ(cube.width, 400);
  // Axes cross at the centre of the plot area.
  EXPECT_TRUE(cube.white(200, 100));
  EXPECT_TRUE(cube.white(100, 173));
  EXPECT_TRUE(cube.redNear(300, int(std::lround(172.5 - 0.125 * 172.5))));
  EXPECT_TRUE(cube.redNear(100, int(std::lround(172.5 + 0.125 * 172.5))));
  const Picture flat = decodeJpeg(folder.path("aPlotNr_02.jpg"));
  ASSERT_EQ(flat.height, 365);
  EXPECT_TRUE(flat.redNear(100, 173));
  EXPECT_TRUE(flat.redNear(350, 173));
  EXPECT_FALSE(flat.redNear(100, 120));
}

TEST_F(PlotTest, PictureFolders) {
  std::filesystem::create_directories(folder.path("Quadrel"));
  EXPECT_EQ(pictureFolder(e), folder.text() + u"Quadrel/");
  EXPECT_EQ(nextPictureName(e, u"0"), folder.text() + u"Quadrel/aPlotNr_01.jpg");
  EXPECT_EQ(nextPictureName(e, u"-1"), folder.text() + u"Quadrel/aPlotNr_02.jpg");
  EXPECT_EQ(nextPictureName(e, u"/pics/"), u"/pics/aPlotNr_03.jpg");
  EXPECT_EQ(nextPictureName(e, u""), u"");
  EXPECT_EQ(e.plot.pictureCounter, 3);
}

TEST_F(PlotTest, DeleteTakesOnlyPlotPictures) {
  std::filesystem::create_directories(folder.path("pics"));
  folder.put("pics/aPlotNr_07.jpg", "old");
  folder.put("pics/holiday.jpg", "keep");
  s.deleteOutputs = true;
  s.savePlots = true;
  s.savePlotPath = folder.text() + u"pics/";
  s.selectionText = u"Plot(0; x; 1; 1) = x";
  s.runSelection = true;
  ASSERT_EQ(run(u""), -1);
  EXPECT_FALSE(folder.exists("pics/aPlotNr_07.jpg"));
  EXPECT_EQ(folder.get("pics/holiday.jpg"), "keep");
  EXPECT_TRUE(contains(e.script.resultText, u" FileName => " + folder.text() + u"pics/aPlotNr_01.jpg"));
  EXPECT_EQ(decodeJpeg(folder.path("pics/aPlotNr_01.jpg")).width, 400);
}

}  // namespace
}  // namespace quadrel
