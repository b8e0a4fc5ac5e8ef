// The named-matrix store: records in creation order, each naming a flat
// row-major buffer. Buffers the store allocated are freed with their record;
// buffers adopted from an outside caller stay the caller's.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_set>
#include <vector>

#include "core/text/u16.h"

namespace quadrel {

struct MatrixRecord {
  Text name;                        // trimmed, lower case
  double* data = nullptr;           // the element buffer ("Addr")
  std::unique_ptr<double[]> owned;  // set when the store allocated data
  bool internal = false;            // a temporary of an evaluation
  int32_t rows = 1, cols = 1;
  int32_t index = 0;  // position when created; never renumbered
  bool vector() const { return rows == 1 || cols == 1; }
  size_t count() const { return size_t(rows) * size_t(cols); }
};

// The buffers a store has let go, held back before they are really freed:
// while held, no allocation can land on them, and the exports refuse a
// handle to one instead of reading it. The oldest are freed for real (and
// forgotten, so that a caller's own buffer that later lands there reads as
// usual) beyond kHeldBuffers buffers or kHeldElements elements.
class RetiredBuffers {
 public:
  static constexpr size_t kHeldBuffers = 1024;
  static constexpr size_t kHeldElements = size_t(1) << 21;  // 16 MB of doubles

  void retire(std::unique_ptr<double[]> buffer, size_t count);
  bool contains(const double* data) const { return addresses_.count(data) != 0; }

 private:
  struct Held {
    std::unique_ptr<double[]> buffer;
    size_t count;
  };
  std::deque<Held> held_;
  size_t heldElements_ = 0;
  std::unordered_set<const double*> addresses_;
};

class MatrixStore {
 public:
  // Positions, or -1.
  int findByName(TextView key) const;
  int findByAddress(const double* data) const;
  // Matches the decimal text of each buffer address.
  int findByAddressText(TextView key) const;

  MatrixRecord& at(int position) { return records_[size_t(position)]; }
  const MatrixRecord& at(int position) const { return records_[size_t(position)]; }
  size_t size() const { return records_.size(); }

  // Appends a record; owned, when set, must hold data. Gives its position.
  int append(Text name, double* data, std::unique_ptr<double[]> owned, bool internal, int32_t rows, int32_t cols);
  // Removing a record lets its own buffer go (see RetiredBuffers).
  void erase(int position);
  void clear();
  // Gives a record another buffer; the one it owned is let go.
  void replaceData(MatrixRecord& r, double* data, std::unique_ptr<double[]> owned, int32_t rows, int32_t cols);
  // True when data is a buffer this store let go and still holds back.
  bool freed(const double* data) const { return retired_.contains(data); }

 private:
  std::vector<MatrixRecord> records_;
  RetiredBuffers retired_;
};

// Decimal text of a buffer address, as records print and match it.
Text addressText(const void* p);

}  // namespace quadrel
