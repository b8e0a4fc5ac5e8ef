#include "core/matrix/element_order.h"

#include <cstring>
#include <vector>

#include "core/engine.h"

namespace quadrel {

int32_t setElementOrder(Engine& e, int32_t order) {
  if (order == 0 || order == 1) {
    e.matrix.elementOrder = order;
    return -1;
  }
  e.matrix.elementOrder = -1;
  return kInvalidElementOrder;
}

int32_t elementOrder(const Engine& e) { return e.matrix.elementOrder; }

int32_t probeElementOrder(Engine& e, const double* probe) {
  e.matrix.elementOrder = probe[1] == 2.0 ? 0 : 1;
  return e.matrix.elementOrder;
}

int32_t elementOrderForLanguage(Engine& e, TextView language) {
  e.matrix.elementOrder = (language == u"Visual Basic" || language == u"VB") ? 1 : 0;
  return e.matrix.elementOrder;
}

bool callerOrderIsRowMajor(const Engine& e) { return e.matrix.elementOrder != 1 || e.matrix.rawCopy != 0; }

void copyArray(const Engine& e, const double* src, double* dst, int32_t a, int32_t b) {
  if (a <= 0 || b <= 0)
    return;
  const size_t count = size_t(a) * size_t(b);
  if (callerOrderIsRowMajor(e)) {
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

RawCopyScope::RawCopyScope(Engine& e) : e_(e), previous_(e.matrix.rawCopy) { e.matrix.rawCopy = 1; }
RawCopyScope::~RawCopyScope() { e_.matrix.rawCopy = previous_; }

}  // namespace quadrel
