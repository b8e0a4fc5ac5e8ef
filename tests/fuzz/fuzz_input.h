// How the fuzz targets read their input as text: byte by byte (each byte one
// UTF-16 unit), or, when the first byte is 0x01, the rest as UTF-16LE units.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/engine.h"
#include "core/text/u16.h"

namespace quadrel {

// Matrix powers are refused beyond a work limit; inputs full of huge
// exponents stay fast with a small one, and still reach the refusal.
constexpr int64_t kFuzzPowerWorkLimit = int64_t(1) << 16;

inline Text decodeFuzzInput(const uint8_t* data, size_t size) {
  Text t;
  if (size > 0 && data[0] == 0x01) {
    for (size_t i = 1; i + 1 < size; i += 2) t.push_back(char16_t(data[i] | (data[i + 1] << 8)));
  } else {
    t.reserve(size);
    for (size_t i = 0; i < size; ++i) t.push_back(char16_t(data[i]));
  }
  return t;
}

}  // namespace quadrel
