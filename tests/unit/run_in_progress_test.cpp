// One run at a time: a box shown during a run pumps messages, and a plot
// window's Redraw or a menu command that arrives there is refused with its
// own code, leaving the run in progress untouched.
#include <gtest/gtest.h>

#include <functional>

#include "core/engine.h"
#include "core/plot/plot_command.h"
#include "core/script/command_line.h"
#include "core/script/script_state.h"
#include "platform/headless/headless_platform.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

// A platform whose boxes let the test act while they are shown, as a user
// clicks other windows while a box is up.
class BoxDuringRun : public HeadlessPlatform {
 public:
  std::function<void()> whileShown;
  int messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) override {
    if (whileShown)
      whileShown();
    return HeadlessPlatform::messageBox(caption, text, buttons, icon);
  }
};

class RunInProgressTest : public ::testing::Test {
 protected:
  BoxDuringRun p;
  Engine e{p};
  testing_support::TempFolder folder;

  void SetUp() override {
    e.script.settings.dataFolder = folder.text();
    e.plot.pluginFolder = folder.text();
  }
};

TEST_F(RunInProgressTest, ANestedRunAndARedrawAreRefusedWhileABoxOfTheRunIsUp) {
  int32_t nested = 0, redraw = 0, boxes = 0;
  p.whileShown = [&] {
    ++boxes;
    nested = otmEvalMain(e, u" /noh /sel:'Expr = 1+1' /");
    redraw = redrawPlot(e, 1, 0, 5);
  };
  // The points file cannot be written (its folder is missing): the run shows a box.
  const int32_t status = otmEvalMain(e, u" /noh /sel:'Plot(0; x; 10; 10; no/such/folder/p.txt) = x*x' /");
  ASSERT_EQ(boxes, 1);
  EXPECT_EQ(nested, kStatusRunRefused);
  EXPECT_EQ(redraw, kStatusRunRefused);
  // The run itself went on: its plot and its result are its own.
  EXPECT_EQ(status, kStatusOk);
  EXPECT_NE(e.script.resultText.find(u"Plot"), Text::npos);
  EXPECT_EQ(e.script.resultText.find(u"EXPR = 1+1"), Text::npos);
  ASSERT_EQ(e.plot.xs.size(), 11u);
  EXPECT_DOUBLE_EQ(e.plot.xs.back(), 10);
  // Once the run is over, both work again.
  EXPECT_FALSE(e.script.runInProgress);
  EXPECT_EQ(redrawPlot(e, 1, 0, 5), -1);
  EXPECT_DOUBLE_EQ(e.plot.xs.front(), 0);
  EXPECT_EQ(otmEvalMain(e, u" /noh /sel:'Expr = 1+1' /"), kStatusOk);
  EXPECT_NE(e.script.resultText.find(u"Number = 2"), Text::npos);
}

}  // namespace
}  // namespace quadrel
