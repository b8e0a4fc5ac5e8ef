#include "core/text/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include "core/text/number_reader.h"

namespace quadrel {

namespace {

// Room for the integral digits of the largest double, a sign, a point and
// the largest number of decimals.
constexpr size_t kFixedBufferSize = 320 + kMaxDecimals + 8;

}  // namespace

void appendFixed(Text& out, double value, int decimals) {
  if (std::isnan(value)) {
    out.append(u"NaN");
    return;
  }
  if (std::isinf(value)) {
    out.append(value > 0 ? u"+Infinity" : u"-Infinity");
    return;
  }
  if (decimals < 0)
    decimals = 0;
  if (decimals > kMaxDecimals)
    decimals = kMaxDecimals;
  char buf[kFixedBufferSize];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  for (char* p = buf; p != res.ptr; ++p) out.push_back(char16_t(*p));
}

Text fixedText(double value, int decimals) {
  Text t;
  appendFixed(t, value, decimals);
  return t;
}

Text roundTripText(double value) {
  if (std::isnan(value))
    return u"NaN";
  if (std::isinf(value))
    return value > 0 ? u"+Infinity" : u"-Infinity";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return ascii(std::string_view(buf, size_t(res.ptr - buf)));
}

Text trimNumberText(TextView text) {
  size_t start = text.find_first_of(u"0123456789.+-");
  Text t = start == TextView::npos ? Text() : Text(text.substr(start));
  if (t.find(u'.') != Text::npos) {
    while (!t.empty() && t.back() == u'0') t.pop_back();
  }
  if (!t.empty() && t.back() == u'.')
    t.pop_back();
  if (!t.empty() && t.front() == u'.')
    t.insert(t.begin(), u'0');
  if (t.empty())
    t = u"0";
  return t;
}

namespace {

// Length of the longest prefix of s (at i) in C floating syntax without sign;
// 0 when there is none.
size_t scanUnsignedFloat(TextView s, size_t i) {
  size_t j = i;
  size_t digits = 0;
  while (j < s.size() && isDigit(s[j])) ++j, ++digits;
  if (j < s.size() && s[j] == u'.') {
    ++j;
    while (j < s.size() && isDigit(s[j])) ++j, ++digits;
  }
  if (digits == 0) {
    // inf / infinity / nan, as the C library accepts them.
    auto word = [&](TextView w) {
      if (s.size() - i < w.size())
        return false;
      for (size_t k = 0; k < w.size(); ++k)
        if (lowerAscii(s[i + k]) != w[k])
          return false;
      return true;
    };
    if (word(u"infinity"))
      return 8;
    if (word(u"inf"))
      return 3;
    if (word(u"nan"))
      return 3;
    return 0;
  }
  return exponentEnd(s, j) - i;
}

}  // namespace

double leadingNumber(TextView text) {
  bool neg;
  const size_t i = skipBlanksAndSign(text, neg);
  size_t len = scanUnsignedFloat(text, i);
  if (len == 0)
    return 0.0;
  double v = asciiNumberValue(text.substr(i, len));
  return neg ? -v : v;
}

bool parseCompleteNumber(TextView text, double& out) {
  TextView t = trimWhite(text);
  size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
    neg = t[i++] == u'-';
  size_t len = scanUnsignedFloat(t, i);
  if (len == 0 || i + len != t.size())
    return false;
  double v = asciiNumberValue(t.substr(i, len));
  out = neg ? -v : v;
  return true;
}

int64_t leadingInteger(TextView text) {
  bool neg;
  size_t i = skipBlanksAndSign(text, neg);
  uint64_t v = 0;
  if (i < text.size() && text[i] == u'$') {
    for (++i; i < text.size() && hexDigitValue(text[i]) >= 0; ++i) v = v * 16 + uint64_t(hexDigitValue(text[i]));
  } else if (i < text.size() && text[i] == u'%') {
    for (++i; i < text.size() && (text[i] == u'0' || text[i] == u'1'); ++i) v = v * 2 + (text[i] - u'0');
  } else {
    for (; i < text.size() && isDigit(text[i]); ++i) v = v * 10 + (text[i] - u'0');
  }
  return neg ? int64_t(0 - v) : int64_t(v);
}

}  // namespace quadrel
