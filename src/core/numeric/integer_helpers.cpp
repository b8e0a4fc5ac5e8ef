#include "core/numeric/integer_helpers.h"

#include <cmath>
#include <cstdlib>

namespace quadrel {

int32_t isPrime(int32_t n) {
  if (n < 2)
    return 0;
  if (n == 2)
    return -1;
  if (n % 2 == 0)
    return 0;
  if (n < 8)
    return -1;
  if (n % 3 == 0 || n % 5 == 0 || n % 7 == 0)
    return 0;
  if (n < 38)
    return -1;
  const int64_t limit = std::llround(std::sqrt(double(n)));
  static constexpr int64_t kWheel[] = {11, 13, 17, 19, 23, 29, 31, 37};
  for (int64_t k = 0; k <= limit; k += 30)
    for (int64_t w : kWheel)
      if (n % (k + w) == 0)
        return 0;
  return -1;
}

int32_t smallestOddDivisor(int32_t n) {
  if (n % 2 == 0)
    return -1;
  int64_t limit = n;
  for (int64_t d = 3; d < limit; d += 2) {
    if (n % d == 0)
      return int32_t(d);
    limit = n / d;
  }
  return -1;
}

namespace {

uint64_t gcd64(uint64_t a, uint64_t b) {
  while (b) {
    const uint64_t r = a % b;
    a = b;
    b = r;
  }
  return a;
}

uint64_t magnitude(int32_t v) { return uint64_t(std::llabs(int64_t(v))); }

}  // namespace

int32_t greatestCommonFactor(int32_t a, int32_t b) {
  const uint64_t g = gcd64(magnitude(a), magnitude(b));
  return g > uint64_t(INT32_MAX) ? 0 : int32_t(g);
}

int32_t leastCommonMultiple(int32_t a, int32_t b) {
  const uint64_t x = magnitude(a), y = magnitude(b);
  if (x == 0 || y == 0)
    return 0;
  const uint64_t l = x / gcd64(x, y) * y;  // at most 2^62
  return l > uint64_t(INT32_MAX) ? 0 : int32_t(l);
}

double factorial(int32_t n) {
  double f = 1.0;
  for (int32_t k = 2; k <= n && !std::isinf(f); ++k) f *= k;
  return f;
}

double interpolateLinear(double x, double x1, double x2, double y1, double y2) {
  return y1 + (x - x1) / (x2 - x1) * (y2 - y1);
}

}  // namespace quadrel
