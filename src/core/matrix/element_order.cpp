#include "core/matrix/element_order.h"

#include <cstring>
#include <vector>

#include "core/matrix/matrix_state.h"

namespace quadrel {

int32_t setElementOrder(MatrixState& m, int32_t order) {
  if (order == 0 || order == 1) {
    m.elementOrder = order;
    return -1;
  }
  m.elementOrder = -1;
  return kMatInvalidOrder;
}

int32_t elementOrder(const MatrixState& m) { return m.elementOrder; }

int32_t probeElementOrder(MatrixState& m, const double* probe) {
  m.elementOrder = probe[1] == 2.0 ? 0 : 1;
  return m.elementOrder;
}

int32_t elementOrderForLanguage(MatrixState& m, TextView language) {
  m.elementOrder = (language == u"Visual Basic" || language == u"VB") ? 1 : 0;
  return m.elementOrder;
}

bool callerOrderIsRowMajor(const MatrixState& m) { return m.elementOrder != 1 || m.rawCopy != 0; }

void copyArray(const MatrixState& m, const double* src, double* dst, int32_t a, int32_t b) {
  if (a <= 0 || b <= 0)
    return;
  const size_t count = size_t(a) * size_t(b);
  if (callerOrderIsRowMajor(m)) {
    if (src != dst)
      std::memmove(dst, src, count * sizeof(double));
    return;
  }
  std::vector<double> copy;
  if (src == dst) {
    copy.assign(src, src + count);
    src = copy.data();
  }
  for (int32_t r = 0; r < b; ++r)
    for (int32_t c = 0; c < a; ++c) dst[size_t(c) * size_t(b) + size_t(r)] = src[size_t(r) * size_t(a) + size_t(c)];
}

RawCopyScope::RawCopyScope(MatrixState& m) : m_(m), previous_(m.rawCopy) { m.rawCopy = 1; }
RawCopyScope::~RawCopyScope() { m_.rawCopy = previous_; }

}  // namespace quadrel
