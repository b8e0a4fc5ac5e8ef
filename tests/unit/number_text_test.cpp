// Number text: fixed-point conversion, trimming and the readers of numbers.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "core/text/number_reader.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

TEST(NumberText, Trimming) {
  const struct {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"3.1400000000", u"3.14"},
      {u"100.0000", u"100"},
      {u"100", u"100"},  // no point: the zeros stay
      {u"0.0000000000", u"0"},
      {u"-0.0000", u"-0"},
      {u".5", u"0.5"},
      {u"  12.30", u"12.3"},
      {u"x = 2.50", u"2.5"},  // leading name and sign of equality dropped
      {u"", u"0"},
      {u"NaN", u"0"},
      {u"+Infinity", u"+Infinity"},
      {u"-Infinity", u"-Infinity"},
      {u".", u"0"},
      {u"-.50", u"-.5"},       // a zero is only put before a leading point
      {u"1.2.300", u"1.2.3"},  // characters only; the number is never parsed
      {u"v: -3.0 kg", u"-3.0 kg"},
      {u"\u00e9\t5.50", u"5.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(trimNumberText(c.in), Text(c.out)) << toUtf8(c.in);
}

TEST(NumberText, FixedPoint) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double value;
    int decimals;
    const char16_t* text;
  } cases[] = {
      {2.0 / 3, 4, u"0.6667"},
      {0.25, 4, u"0.2500"},
      {1e-12, 10, u"0.0000000000"},
      {123.456, 0, u"123"},  // no point at all
      {-0.0001, 2, u"-0.00"},
      {HUGE_VAL, 10, u"+Infinity"},
      {-HUGE_VAL, 0, u"-Infinity"},
      {nan, 10, u"NaN"},
      {-nan, 4, u"NaN"},
      {std::numeric_limits<double>::signaling_NaN(), 2, u"NaN"},
  };
  for (const auto& c : cases) EXPECT_EQ(fixedText(c.value, c.decimals), Text(c.text)) << toUtf8(c.text);
  EXPECT_EQ(fixedText(3.14159265358979), u"3.1415926536") << "10 decimals when none are given";
  // At most 512 decimals.
  EXPECT_EQ(fixedText(1.0, 1000), u"1." + Text(512, u'0'));
  EXPECT_EQ(fixedText(-DBL_MAX, 100000).size(), 1u + 309u + 1u + 512u);
}

TEST(NumberText, FixedPointMatchesTheCLibrary) {
  // Values away from half-way points at the last decimal.
  const double values[] = {0.1,     -0.1,   1.0 / 3,    123456.789,    1e300, -1e300, 1e-300,
                           DBL_MAX, 5e-324, 1e15 + 0.4, 9.87654321e-5, 0.0,   -0.0};
  for (double v : values) {
    for (int decimals : {0, 1, 4, 10, 17, 40, 330, 512}) {
      char buf[1200];
      std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
      EXPECT_EQ(fixedText(v, decimals), ascii(buf)) << std::string(buf).substr(0, 40) << " / " << decimals;
    }
  }
}

TEST(NumberText, Readers) {
  // The formula reader refuses what is no whole number (refused: NaN here).
  const double refused = NAN;
  const struct {
    const char16_t* text;
    double leading, literal;  // leadingNumber, decimalValue
  } cases[] = {
      {u"1.2.3", 1.2, refused}, {u".", 0, 0},          {u"", 0, refused},    {u"..5", 0, refused},
      {u"3..", 3, refused},     {u"007.50", 7.5, 7.5}, {u".25", 0.25, 0.25},
  };
  auto literal = [](TextView t) {
    double v;
    return decimalValue(t, v) ? v : NAN;
  };
  for (const auto& c : cases) {
    EXPECT_EQ(leadingNumber(c.text), c.leading) << toUtf8(c.text);
    if (std::isnan(c.literal))
      EXPECT_TRUE(std::isnan(literal(c.text))) << toUtf8(c.text);
    else
      EXPECT_EQ(literal(c.text), c.literal) << toUtf8(c.text);
  }
  // The C library's syntax for the leading number: blanks, sign, exponent.
  const struct {
    const char16_t* text;
    double value;
  } leading[] = {{u"  -2.5x", -2.5}, {u"1e5", 1e5}, {u"2E-3;", 2e-3},     {u"1e+", 1},
                 {u"abc", 0},        {u"-", 0},     {u"1e400", HUGE_VAL}, {u"1e-400", 0}};
  for (const auto& c : leading) EXPECT_EQ(leadingNumber(c.text), c.value) << toUtf8(c.text);
  // More digits than a double holds, as the C library reads them.
  // A literal too large for a double is refused; one too small reads as 0.
  EXPECT_TRUE(std::isnan(literal(u"1" + Text(400, u'0'))));
  EXPECT_EQ(literal(u"0." + Text(400, u'0') + u"1"), 0.0);
  EXPECT_EQ(literal(u"0.1" + Text(100, u'0')), 0.1);
  // The exact text of a value reads back to it.
  for (double v : {0.1, 1e-12, 5e-324, DBL_MAX}) EXPECT_EQ(leadingNumber(roundTripText(v)), v) << v;
}

}  // namespace
}  // namespace quadrel
