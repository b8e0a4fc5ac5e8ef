// The named-matrix store: records in creation order, each naming a flat
// row-major buffer. Buffers the store allocated are freed with their record;
// buffers adopted from an outside caller stay the caller's.
#pragma once

#include <cstdint>
#include <memory>
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
  void erase(int position);
  void clear() { records_.clear(); }

 private:
  std::vector<MatrixRecord> records_;
};

// Decimal text of a buffer address, as records print and match it.
Text addressText(const void* p);

}  // namespace quadrel
