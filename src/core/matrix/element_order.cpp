#include "core/matrix/element_order.h"

#include "core/engine.h"

namespace quadrel {

int32_t setElementOrder(Engine& e, int32_t order) {
  if (order == 0 || order == 1) {
    e.elementOrder = order;
    return -1;
  }
  e.elementOrder = -1;
  return kInvalidElementOrder;
}

int32_t probeElementOrder(Engine& e, const double* probe) {
  e.elementOrder = probe[1] == 2.0 ? 0 : 1;
  return e.elementOrder;
}

}  // namespace quadrel
