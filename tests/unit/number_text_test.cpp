// Number text: fixed-point conversion, trimming and the readers of numbers.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "engine_fixture.h"

namespace quadrel {
namespace {

struct Trim {
  const char16_t* in;
  const char16_t* out;
};

TEST(NumberText, Trimming) {
  const Trim cases[] = {
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
      {u"abc", u"0"},
      {u"+Infinity", u"+Infinity"},
      {u"-Infinity", u"-Infinity"},
      {u"0.6667", u"0.6667"},
      {u"0.2500", u"0.25"},
      {u".", u"0"},
      {u"0.", u"0"},
      {u"-.50", u"-.5"},  // a leading zero is only put before a leading point
      {u"+.0", u"+"},
      {u"1.2.300", u"1.2.3"},  // characters only; the number is never parsed
      {u"12a0.10", u"12a0.1"},
      {u"v: -3.0 kg", u"-3.0 kg"},  // whatever follows stays
      {u"1000.000e0", u"1000.000e"},
      {u"\t\r\n7.70", u"7.7"},
      {u"\u00e9\u03c0 5.50", u"5.5"},
  };
  for (const Trim& c : cases) {
    SCOPED_TRACE(toUtf8(c.in));
    EXPECT_EQ(trimNumberText(c.in), Text(c.out));
  }
}

TEST(NumberText, FixedPoint) {
  struct Fixed {
    double value;
    int decimals;
    const char16_t* text;
  };
  const Fixed cases[] = {
      {3.14159, 2, u"3.14"},
      {2.0 / 3, 4, u"0.6667"},
      {0.25, 4, u"0.2500"},
      {1e-12, 10, u"0.0000000000"},
      {-1e-12, 10, u"-0.0000000000"},
      {123.456, 0, u"123"},  // no point at all
      {7, 0, u"7"},
      {-0.0001, 2, u"-0.00"},
      {2, 10, u"2.0000000000"},
      {-3.25, 3, u"-3.250"},
      {1e21, 2, u"1000000000000000000000.00"},
      {HUGE_VAL, 10, u"+Infinity"},
      {-HUGE_VAL, 0, u"-Infinity"},
      {std::numeric_limits<double>::quiet_NaN(), 10, u"NaN"},
      {-std::numeric_limits<double>::quiet_NaN(), 4, u"NaN"},
      {std::numeric_limits<double>::signaling_NaN(), 2, u"NaN"},
  };
  for (const Fixed& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    EXPECT_EQ(fixedText(c.value, c.decimals), Text(c.text));
  }
  EXPECT_EQ(fixedText(3.14159265358979), u"3.1415926536") << "10 decimals when none are given";
  EXPECT_EQ(trimNumberText(fixedText(1.0 / 4, 4)), u"0.25");
  EXPECT_EQ(trimNumberText(fixedText(std::nan(""), 4)), u"0");
}

TEST(NumberText, FixedPointMatchesTheCLibrary) {
  // Values away from half-way points at the last decimal.
  const double values[] = {
      0.1, -0.1,       1.0 / 3,       123456.789,         1e300, -1e300, 1e-300, DBL_MAX, -DBL_MAX, DBL_MIN, 5e-324,
      0.7, 1e15 + 0.4, 9.87654321e-5, 4503599627370497.0, 0.0,   -0.0};
  for (double v : values) {
    for (int decimals : {0, 1, 4, 10, 17, 40, 330, 512}) {
      char buf[1200];
      std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
      SCOPED_TRACE(std::string(buf).substr(0, 40) + " with " + std::to_string(decimals));
      EXPECT_EQ(fixedText(v, decimals), ascii(buf));
    }
  }
}

TEST(NumberText, DecimalsAreCapped) {
  const Text t = fixedText(1.0, 1000);
  EXPECT_EQ(t.size(), 2u + 512u);
  EXPECT_EQ(t, u"1." + Text(512, u'0'));
  EXPECT_EQ(fixedText(-DBL_MAX, 100000).size(), 1u + 309u + 1u + 512u);
}

TEST(NumberText, LeadingNumber) {
  struct Read {
    const char16_t* text;
    double value;
  };
  const Read cases[] = {
      {u"1e5", 1e5},
      {u"  -2.5x", -2.5},
      {u"\t+3", 3},
      {u"abc", 0},
      {u"", 0},
      {u".5", 0.5},
      {u"5.", 5},
      {u"1e", 1},
      {u"1e+", 1},
      {u"2E-3;", 2e-3},
      {u"1e400", HUGE_VAL},
      {u"-1e400", -HUGE_VAL},
      {u"1e-400", 0},
      {u"-", 0},
      {u"+.", 0},
      {u"12,5", 12},
      {u"0.30000000000000004", 0.30000000000000004},
  };
  for (const Read& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    EXPECT_EQ(leadingNumber(c.text), c.value);
  }
}

TEST(NumberText, RoundTripText) {
  for (double v : {0.1, 1.0 / 3, 1e-12, -2.5, 1e300, 5e-324, DBL_MAX, 123456789012345678.0, 0.0}) {
    SCOPED_TRACE(v);
    EXPECT_EQ(leadingNumber(roundTripText(v)), v);
  }
  EXPECT_EQ(roundTripText(HUGE_VAL), u"+Infinity");
  EXPECT_EQ(roundTripText(-HUGE_VAL), u"-Infinity");
  EXPECT_EQ(roundTripText(std::nan("")), u"NaN");
}

TEST(NumberText, DigitsAndPointsOfTheLexer) {
  struct Read {
    const char16_t* text;
    double value;
  };
  const Read cases[] = {
      {u"1.2.3", 1.2}, {u".", 0},     {u"", 0},       {u"..5", 0}, {u"12", 12},
      {u"1.", 1},      {u"0.1", 0.1}, {u".25", 0.25}, {u"3..", 3}, {u"007.50", 7.5},
  };
  for (const Read& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    EXPECT_EQ(readDigitsAndPoints(c.text), c.value);
  }
  // More digits than a double holds: read like the C library does.
  EXPECT_EQ(readDigitsAndPoints(u"1" + Text(400, u'0')), HUGE_VAL);
  EXPECT_EQ(readDigitsAndPoints(u"0." + Text(400, u'0') + u"1"), 0.0);
  EXPECT_EQ(readDigitsAndPoints(u"0.1" + Text(100, u'0')), 0.1);
  EXPECT_EQ(readDigitsAndPoints(u"1" + Text(22, u'0')), 1e22);
}

TEST(NumberText, CompleteNumbersAndIntegers) {
  double v = 0;
  EXPECT_TRUE(parseCompleteNumber(u" 1.5 ", v));
  EXPECT_EQ(v, 1.5);
  EXPECT_TRUE(parseCompleteNumber(u"-2e3", v));
  EXPECT_EQ(v, -2000);
  v = 9;
  EXPECT_FALSE(parseCompleteNumber(u"1.5x", v));
  EXPECT_FALSE(parseCompleteNumber(u"", v));
  EXPECT_FALSE(parseCompleteNumber(u"-", v));
  EXPECT_FALSE(parseCompleteNumber(u"1 2", v));
  EXPECT_EQ(v, 9) << "nothing is written on failure";

  EXPECT_EQ(leadingInteger(u"42abc"), 42);
  EXPECT_EQ(leadingInteger(u" -7"), -7);
  EXPECT_EQ(leadingInteger(u"$ff"), 255);
  EXPECT_EQ(leadingInteger(u"-$10"), -16);
  EXPECT_EQ(leadingInteger(u"%101"), 5);
  EXPECT_EQ(leadingInteger(u"%102"), 2);
  EXPECT_EQ(leadingInteger(u"x"), 0);
  EXPECT_EQ(leadingInteger(u"3.9"), 3);
}

}  // namespace
}  // namespace quadrel
