// Small integer, factorial and interpolation helpers of the library. They
// keep no state and leave the evaluator code alone.
#pragma once

#include <cstdint>

namespace quadrel {

// -1 when n is prime, else 0 (trial division on a wheel of 30).
int32_t isPrime(int32_t n);
// The smallest odd divisor of n between 1 and n exclusive, or -1 (always -1
// for even n).
int32_t smallestOddDivisor(int32_t n);
// Greatest common factor of |a| and |b|, exact for every pair; (0, 0) gives
// 0, and the one result beyond 32 bits (2^31, from -2^31 with 0 or itself)
// gives 0 as well.
int32_t greatestCommonFactor(int32_t a, int32_t b);
// Least common multiple of |a| and |b|; 0 when either is 0 or when it does
// not fit in 32 bits.
int32_t leastCommonMultiple(int32_t a, int32_t b);
// n! in double precision (1 for n <= 1, infinite above 170).
double factorial(int32_t n);
// y1 + (x - x1) / (x2 - x1) * (y2 - y1).
double interpolateLinear(double x, double x1, double x2, double y1, double y2);

}  // namespace quadrel
