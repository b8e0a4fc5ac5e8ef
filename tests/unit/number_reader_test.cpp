// The one number reader: literal spans, values, refusals, and the same
// literal read alike by the evaluator, the sampler, the store and the
// differentiation module.
#include "core/text/number_reader.h"

#include <cmath>

#include "core/diff/differentiate.h"
#include "core/eval/evaluator.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

TEST(NumberReader, DecimalSpansAndValues) {
  const struct {
    const char16_t* text;
    size_t end;  // where the literal at 0 ends
    bool wellFormed;
    double value;  // NaN: refused
  } cases[] = {
      {u"12", 2, true, 12},     {u"1.5e3", 5, true, 1500}, {u"2E-3", 4, true, 0.002}, {u"6,02e23", 7, true, 6.02e23},
      {u"1.e2", 4, true, 100},  {u".5E+1", 5, true, 5},    {u"2e", 1, true, 2},       {u"2e+", 1, true, 2},
      {u"3ex", 1, true, 3},     {u".", 1, true, 0},        {u"1.2.3", 5, false, NAN}, {u"1,000,000", 9, false, NAN},
      {u"1..5", 4, false, NAN}, {u"1e400", 5, true, NAN},  {u"1e-400", 6, true, 0},   {u"0.1", 3, true, 0.1},
      {u"7*2", 1, true, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    const LiteralScan scan = scanDecimal(c.text, 0);
    EXPECT_EQ(scan.end, c.end);
    EXPECT_EQ(scan.wellFormed, c.wellFormed);
    double v = -1;
    const bool ok = decimalValue(TextView(c.text).substr(0, scan.end), v);
    if (std::isnan(c.value)) {
      EXPECT_FALSE(ok);
    } else {
      EXPECT_TRUE(ok);
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(NumberReader, HexAndBinaryLiterals) {
  const struct {
    const char16_t* text;
    bool ok;
    double value;
  } hex[] = {{u"&FF", true, 255}, {u"&1E3", true, 483}, {u"&ffffffffffffffff", true, -1},
             {u"&", false, 0},    {u"&H10", false, 0},  {u"&G1", false, 0},
             {u"&1G", false, 0}},
    bin[] = {{u"!101", true, 5}, {u"!0", true, 0}, {u"!", false, 0}, {u"!2", false, 0}, {u"!102", false, 0}};
  for (const auto& c : hex) {
    double v = -1;
    EXPECT_EQ(hexValue(c.text, v), c.ok) << toUtf8(c.text);
    EXPECT_EQ(v, c.value) << toUtf8(c.text);
  }
  for (const auto& c : bin) {
    double v = -1;
    EXPECT_EQ(binaryValue(c.text, v), c.ok) << toUtf8(c.text);
    EXPECT_EQ(v, c.value) << toUtf8(c.text);
  }
}

TEST(NumberReader, LeadingDecimalOfValueTexts) {
  const struct {
    const char16_t* text;
    double value;
  } cases[] = {{u" -2,5", -2.5}, {u"+1.5e3x", 1500}, {u"1.2.3", 1.2}, {u"abc", 0}, {u"", 0}, {u"-", 0}, {u"2e", 2}};
  for (const auto& c : cases) EXPECT_EQ(leadingDecimal(c.text), c.value) << toUtf8(c.text);
}

class NumberReaderEngine : public EngineTest {};

// Every reader of formulas agrees on a literal: the evaluator, a variable's
// value text, the sampler and the differentiation module.
TEST_F(NumberReaderEngine, EveryReaderAgrees) {
  const struct {
    const char16_t* literal;
    double value;
  } cases[] = {{u"1.5e3", 1500}, {u"2E-3", 0.002}, {u"6,02e23", 6.02e23}, {u"0,25", 0.25}};
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.literal));
    EXPECT_EQ(value(c.literal), c.value);
    setVar(u"v", c.literal);
    EXPECT_EQ(value(u"v"), c.value);
    std::vector<double> xs(3), ys(3), info(5);
    ASSERT_EQ(evaluateSamples(e, Text(c.literal) + u"*x", 0, u"x", 2, 2, xs.data(), ys.data(), info.data()), kNoError);
    EXPECT_EQ(ys[2], c.value * 2);
    Text derivative;
    ASSERT_TRUE(differentiate(e, Text(c.literal) + u"*x^2", u"x", derivative));
    setVar(u"x", u"3");
    EXPECT_NEAR(value(derivative), 6 * c.value, 1e-9 * c.value) << toUtf8(derivative);
  }
  // A malformed literal gives no value anywhere in the sampler either.
  std::vector<double> xs(2), ys(2), info(5);
  EXPECT_EQ(evaluateSamples(e, u"1.2.3*x", 0, u"x", 1, 1, xs.data(), ys.data(), info.data()), kErrParserSyntax);
  EXPECT_EQ(failure(u"!2+1"), kErrParserSyntax);
  EXPECT_NE(log().find(u"Malformed number = '!2'"), Text::npos);
}

}  // namespace
}  // namespace quadrel
