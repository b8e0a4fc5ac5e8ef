#include "core/matrix/matrix_store.h"

#include <cstdint>

namespace quadrel {

int MatrixStore::findByName(TextView key) const {
  for (size_t k = 0; k < records_.size(); ++k)
    if (records_[k].name == key)
      return int(k);
  return -1;
}

int MatrixStore::findByAddress(const double* data) const {
  for (size_t k = 0; k < records_.size(); ++k)
    if (records_[k].data == data)
      return int(k);
  return -1;
}

int MatrixStore::findByAddressText(TextView key) const {
  for (size_t k = 0; k < records_.size(); ++k)
    if (addressText(records_[k].data) == key)
      return int(k);
  return -1;
}

int MatrixStore::append(Text name, double* data, std::unique_ptr<double[]> owned, bool internal, int32_t rows,
                        int32_t cols) {
  MatrixRecord r;
  r.name = std::move(name);
  r.data = data;
  r.owned = std::move(owned);
  r.internal = internal;
  r.rows = rows;
  r.cols = cols;
  r.index = int32_t(records_.size());
  records_.push_back(std::move(r));
  return int(records_.size() - 1);
}

void MatrixStore::erase(int position) {
  MatrixRecord& r = records_[size_t(position)];
  if (r.owned)
    retired_.retire(std::move(r.owned), r.count());
  records_.erase(records_.begin() + position);
}

void MatrixStore::clear() {
  for (MatrixRecord& r : records_)
    if (r.owned)
      retired_.retire(std::move(r.owned), r.count());
  records_.clear();
}

void MatrixStore::replaceData(MatrixRecord& r, double* data, std::unique_ptr<double[]> owned, int32_t rows,
                              int32_t cols) {
  if (r.owned && r.owned.get() != data)
    retired_.retire(std::move(r.owned), r.count());
  r.data = data;
  r.owned = std::move(owned);
  r.rows = rows;
  r.cols = cols;
}

void RetiredBuffers::retire(std::unique_ptr<double[]> buffer, size_t count) {
  addresses_.insert(buffer.get());
  heldElements_ += count;
  held_.push_back({std::move(buffer), count});
  while (held_.size() > kHeldBuffers || (heldElements_ > kHeldElements && held_.size() > 1)) {
    heldElements_ -= held_.front().count;
    addresses_.erase(held_.front().buffer.get());
    held_.pop_front();
  }
}

Text addressText(const void* p) { return intText(int64_t(reinterpret_cast<intptr_t>(p))); }

}  // namespace quadrel
