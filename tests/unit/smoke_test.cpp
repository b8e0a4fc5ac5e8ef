#include <gtest/gtest.h>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

TEST(Smoke, Arithmetic) {
  HeadlessPlatform p;
  Engine e(p);
  double r = 0;
  EXPECT_EQ(evaluate(e, u"1+2*3", &r, true), 0);
  EXPECT_EQ(r, 7);
}
