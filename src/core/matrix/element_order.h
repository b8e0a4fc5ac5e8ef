// The caller's element order of matrix buffers: 0 by row, 1 by column, -1
// unknown (conversions are plain copies).
#pragma once

#include <cstdint>

namespace quadrel {

struct Engine;

constexpr int32_t kInvalidElementOrder = 17;  // matrix library code

// 0 or 1 sets the order and gives -1; anything else sets -1 and gives 17.
int32_t setElementOrder(Engine& e, int32_t order);
// Probes a caller's 2 x 2 array filled with 1, 2 / 3, 4: the second stored
// value tells the layout. Sets and gives the order.
int32_t probeElementOrder(Engine& e, const double* probe);

}  // namespace quadrel
