// The caller's element order of matrix buffers and the one conversion
// routine. Buffers are converted once, at the library's boundary: inside,
// every buffer is row-major.
#pragma once

#include <cstdint>

#include "core/ground/error_table.h"
#include "core/text/u16.h"

namespace quadrel {

struct MatrixState;

// 0 or 1 sets the order and gives -1; anything else sets -1 and gives 17.
int32_t setElementOrder(MatrixState& m, int32_t order);
int32_t elementOrder(const MatrixState& m);
// Probes a caller's 2 x 2 array filled with 1, 2 / 3, 4: the second stored
// value tells the layout. Sets and gives the order.
int32_t probeElementOrder(MatrixState& m, const double* probe);
// "Visual Basic" or "VB" (case-sensitive) stores by column, anything else by row.
int32_t elementOrderForLanguage(MatrixState& m, TextView language);

// aCopyArray: copies a*b doubles; under column order (and the raw-copy switch
// off) the element at p = r*a + c goes to c*b + r. src and dst may be the same.
void copyArray(const MatrixState& m, const double* src, double* dst, int32_t a, int32_t b);
// True when conversions are plain copies (row order, or the raw-copy switch
// on): a caller's buffer may then be read or written in place.
bool callerOrderIsRowMajor(const MatrixState& m);
// A caller's rows x cols buffer into row-major, and back.
inline void fromCaller(const MatrixState& m, const double* src, double* dst, int32_t rows, int32_t cols) {
  copyArray(m, src, dst, rows, cols);
}
inline void toCaller(const MatrixState& m, const double* src, double* dst, int32_t rows, int32_t cols) {
  copyArray(m, src, dst, cols, rows);
}

// Sets the raw-copy switch for the life of the object and restores the
// previous value on every way out.
class RawCopyScope {
 public:
  explicit RawCopyScope(MatrixState& m);
  ~RawCopyScope();
  RawCopyScope(const RawCopyScope&) = delete;
  RawCopyScope& operator=(const RawCopyScope&) = delete;

 private:
  MatrixState& m_;
  int32_t previous_;
};

}  // namespace quadrel
