#include "core/matrix/elimination.h"

#include <cstring>

namespace quadrel::matrix::elimination {

namespace {

// The last N steps of a: on a itself when it is N x N, else on a copy of
// its trailing N x N block.
template <int N>
double finishCopy(double* a, int n, double det) {
  if (n == N)
    return fixedFinish<N>(a, det);
  double tail[N * N];
  const int from = n - N;
  for (int r = 0; r < N; ++r) std::memcpy(tail + r * N, a + size_t(from + r) * n + from, N * sizeof(double));
  return fixedFinish<N>(tail, det);
}

}  // namespace

double finishTail(double* a, int n, int order, double det) {
  // Larger remainders take generic steps down to the largest fixed order.
  for (int k = n - order; order > kLargestFixedOrder; ++k, --order) step(a, n, n, k, kPivotTolerance, det);
  switch (order) {
    case 1: return snapped(det * a[size_t(n) * n - 1]);
    case 2: return finishCopy<2>(a, n, det);
    case 3: return finishCopy<3>(a, n, det);
    case 4: return finishCopy<4>(a, n, det);
    case 5: return finishCopy<5>(a, n, det);
    case 6: return finishCopy<6>(a, n, det);
    case 7: return finishCopy<7>(a, n, det);
    default: return finishCopy<8>(a, n, det);
  }
}

}  // namespace quadrel::matrix::elimination
