// Integer helpers, factorial, interpolation and the RC4 cipher.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/numeric/integer_helpers.h"
#include "core/numeric/rc4_cipher.h"
#include "core/text/u16.h"

namespace quadrel {
namespace {

TEST(IntegerHelpers, Primes) {
  struct Case {
    int32_t n, prime, divisor;
  };
  const Case cases[] = {
      {2, -1, -1},  {1, 0, -1},           {0, 0, -1},         {-7, 0, -1},      {3, -1, -1},
      {9, 0, 3},    {25, 0, 5},           {13, -1, -1},       {12, 0, -1},      {91, 0, 7},
      {529, 0, 23}, {997, -1, -1},        {961, 0, 31},       {1369, 0, 37},    {49, 0, 7},
      {41, -1, -1}, {2147483647, -1, -1}, {2147483645, 0, 5}, {INT_MIN, 0, -1}, {1046527 * 2 + 1, 0, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isPrime(c.n), c.prime) << c.n;
    EXPECT_EQ(smallestOddDivisor(c.n), c.divisor) << c.n;
  }
  // The wheel agrees with plain trial division.
  for (int32_t n = -5; n < 20000; ++n) {
    bool prime = n >= 2;
    for (int32_t d = 2; d * d <= n && prime; ++d) prime = n % d != 0;
    ASSERT_EQ(isPrime(n), prime ? -1 : 0) << n;
  }
}

// Mended: exact for every pair of 32-bit integers; (0, 0) and overflow give 0.
TEST(IntegerHelpers, GreatestCommonFactorAndLeastCommonMultiple) {
  struct Case {
    int32_t a, b, gcf, lcm;
  };
  const Case cases[] = {
      {-12, 18, 6, 36},
      {4, 6, 2, 12},
      {-4, 6, 2, 12},
      {0, 0, 0, 0},
      {0, 9, 9, 0},
      {7, 7, 7, 7},
      {16777217, 16777219, 1, 0},  // beyond single precision; the LCM overflows
      {2147483646, 1073741823, 1073741823, 2147483646},
      {INT_MIN, 6, 2, 0},
      {INT_MIN, INT_MIN, 0, 0},
      {INT_MIN, 0, 0, 0},
      {65536, 32768, 32768, 65536},
      {65537, 65536, 1, 0},
      {46341, 46340, 1, 2147441940},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(greatestCommonFactor(c.a, c.b), c.gcf) << c.a << ", " << c.b;
    EXPECT_EQ(greatestCommonFactor(c.b, c.a), c.gcf) << c.b << ", " << c.a;
    EXPECT_EQ(leastCommonMultiple(c.a, c.b), c.lcm) << c.a << ", " << c.b;
  }
}

TEST(IntegerHelpers, FactorialAndInterpolation) {
  EXPECT_EQ(factorial(0), 1.0);
  EXPECT_EQ(factorial(-3), 1.0);
  EXPECT_EQ(factorial(5), 120.0);
  EXPECT_EQ(factorial(20), 2432902008176640000.0);
  EXPECT_TRUE(std::isfinite(factorial(170)));
  EXPECT_TRUE(std::isinf(factorial(171)));
  EXPECT_TRUE(std::isinf(factorial(INT_MAX)));
  EXPECT_EQ(interpolateLinear(1.5, 1, 2, 10, 20), 15.0);
  EXPECT_FALSE(std::isfinite(interpolateLinear(1.5, 1, 1, 10, 20)));
}

// Bytes as a text of codes 0..255, a 0 carried as U+0100.
Text bytesText(const std::string& hex) {
  Text t;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    const unsigned v = unsigned(std::stoul(hex.substr(i, 2), nullptr, 16));
    t.push_back(v == 0 ? char16_t(0x100) : char16_t(v));
  }
  return t;
}

// Published RC4 vectors: the three of common use and those of the original posting.
TEST(Rc4Cipher, PublishedVectors) {
  struct Case {
    Text key, text;
    const char* cipher;
  };
  const Case cases[] = {
      {u"Key", u"Plaintext", "bbf316e8d940af0ad3"},
      {u"Wiki", u"pedia", "1021bf0420"},
      {u"Secret", u"Attack at dawn", "45a01f645fc35b383552544b9bf5"},
      {bytesText("0123456789abcdef"), bytesText("0123456789abcdef"), "75b7878099e0c596"},
      {bytesText("0123456789abcdef"), bytesText("0000000000000000"), "7494c2e7104b0879"},
      {bytesText("0000000000000000"), bytesText("0000000000000000"), "de188941a3375d3a"},
      {bytesText("ef012345"), bytesText("00000000000000000000"), "d6a141a7ec3c38dfbd61"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rc4(c.text, c.key), bytesText(c.cipher)) << c.cipher;
    EXPECT_EQ(rc4(rc4(c.text, c.key), c.key), c.text) << c.cipher;
  }
}

// Mended: a result byte 0 is U+0100 and survives the round trip.
TEST(Rc4Cipher, ZeroBytesAndEmptyInput) {
  // The first keystream byte of "Key" is 0xEB ("P" becomes 0xBB).
  const Text t = rc4(Text(1, char16_t(0xEB)) + u"abc", u"Key");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0], char16_t(0x100));
  EXPECT_EQ(rc4(t, u"Key"), Text(1, char16_t(0xEB)) + u"abc");
  EXPECT_EQ(rc4(u"text", u""), u"text");
  EXPECT_EQ(rc4(u"", u"key"), u"");
  for (char16_t c : rc4(Text(300, u'\x7F'), u"k")) EXPECT_TRUE(c >= 1 && c <= 0x100);
}

}  // namespace
}  // namespace quadrel
