#include "core/numeric/rc4_cipher.h"

#include <array>
#include <cstdint>
#include <utility>

namespace quadrel {

Text rc4(TextView text, TextView key) {
  if (text.empty() || key.empty())
    return Text(text);
  std::array<uint8_t, 256> s;
  for (size_t i = 0; i < 256; ++i) s[i] = uint8_t(i);
  uint8_t j = 0;
  for (size_t i = 0; i < 256; ++i) {
    j = uint8_t(j + s[i] + uint8_t(key[i % key.size()]));
    std::swap(s[i], s[j]);
  }
  Text out;
  out.reserve(text.size());
  uint8_t i = 0;
  j = 0;
  for (char16_t c : text) {
    i = uint8_t(i + 1);
    j = uint8_t(j + s[i]);
    std::swap(s[i], s[j]);
    const uint8_t k = s[uint8_t(s[i] + s[j])];
    const uint8_t byte = uint8_t(uint8_t(c) ^ k);
    out.push_back(byte == 0 ? char16_t(0x100) : char16_t(byte));
  }
  return out;
}

}  // namespace quadrel
