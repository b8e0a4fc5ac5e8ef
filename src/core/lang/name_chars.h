// The characters of names (variables, user functions, constants) in
// formulas: letters of any common script, "_" and, after the first, digits.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

// Letters of the common scripts of the first plane beyond ASCII (Latin with
// accents, Greek, Cyrillic, Armenian, Hebrew, Arabic, Indic, Thai, Georgian,
// kana, CJK, Hangul), so that names may be written in the user's language.
// Signs and punctuation of those ranges are left out.
constexpr bool isLetterBeyondAscii(char16_t c) {
  if (c < 0x80)
    return false;
  if (c < 0x100)
    return c == 0xAA || c == 0xB5 || c == 0xBA || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
  auto in = [c](char16_t a, char16_t b) { return c >= a && c <= b; };
  return in(0x100, 0x2AF) || (in(0x370, 0x3FF) && c != 0x37E && c != 0x387 && c != 0x375) || in(0x400, 0x481) ||
         in(0x48A, 0x52F) || in(0x531, 0x556) || in(0x561, 0x587) || in(0x5D0, 0x5EA) || in(0x620, 0x64A) ||
         in(0x671, 0x6D3) || in(0x904, 0x939) || in(0x985, 0x9B9) || in(0xE01, 0xE30) || in(0x10A0, 0x10FF) ||
         in(0x1E00, 0x1FFF) || in(0x3041, 0x3096) || in(0x30A1, 0x30FA) || in(0x3400, 0x4DBF) || in(0x4E00, 0x9FFF) ||
         in(0xAC00, 0xD7A3) || in(0xF900, 0xFAFF) || in(0xFF21, 0xFF3A) || in(0xFF41, 0xFF5A);
}

constexpr bool isNameStart(char16_t c) { return isIdentStart(c) || isLetterBeyondAscii(c); }
constexpr bool isNameChar(char16_t c) { return isIdentChar(c) || isLetterBeyondAscii(c); }

}  // namespace quadrel
