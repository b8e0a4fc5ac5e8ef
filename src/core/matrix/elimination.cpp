#include "core/matrix/elimination.h"

#include <cstring>

namespace quadrel::matrix::elimination {

namespace {

template <int N>
double finishCopy(const double* a, int n, double det) {
  double tail[N * N];
  const int from = n - N;
  for (int r = 0; r < N; ++r) std::memcpy(tail + r * N, a + size_t(from + r) * n + from, N * sizeof(double));
  return fixedFinish<N>(tail, det);
}

}  // namespace

double finishTail(double* a, int n, int order, double det) {
  switch (order) {
    case 1: return snapped(det * a[size_t(n) * n - 1]);
    case 2: return finishCopy<2>(a, n, det);
    case 3: return finishCopy<3>(a, n, det);
    case 4: return finishCopy<4>(a, n, det);
    case 5: return finishCopy<5>(a, n, det);
    case 6: return finishCopy<6>(a, n, det);
    case 7: return finishCopy<7>(a, n, det);
    case 8: return finishCopy<8>(a, n, det);
    case 9: return finishCopy<9>(a, n, det);
    case 10: return finishCopy<10>(a, n, det);
    case 11: return finishCopy<11>(a, n, det);
    case 12: return finishCopy<12>(a, n, det);
    case 13: return finishCopy<13>(a, n, det);
    case 14: return finishCopy<14>(a, n, det);
    case 15: return finishCopy<15>(a, n, det);
    case 16: return finishCopy<16>(a, n, det);
    default: return finish(a, n, n - order, det);
  }
}

}  // namespace quadrel::matrix::elimination
