#include "core/text/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

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
  if (j < s.size() && (s[j] == u'e' || s[j] == u'E')) {
    size_t k = j + 1;
    if (k < s.size() && (s[k] == u'+' || s[k] == u'-'))
      ++k;
    if (k < s.size() && isDigit(s[k])) {
      while (k < s.size() && isDigit(s[k])) ++k;
      j = k;
    }
  }
  return j - i;
}

double convertAscii(TextView s) {
  std::string narrow;
  narrow.reserve(s.size());
  for (char16_t c : s) narrow.push_back(char(c));
  double v = 0;
  auto res = std::from_chars(narrow.data(), narrow.data() + narrow.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    // Decide between overflow and underflow the way strtod does.
    long double probe = std::strtold(narrow.c_str(), nullptr);
    return probe > 1 ? HUGE_VAL : 0.0;
  }
  return v;
}

}  // namespace

double leadingNumber(TextView text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool neg = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    neg = text[i++] == u'-';
  size_t len = scanUnsignedFloat(text, i);
  if (len == 0)
    return 0.0;
  double v = convertAscii(text.substr(i, len));
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
  double v = convertAscii(t.substr(i, len));
  out = neg ? -v : v;
  return true;
}

int64_t leadingInteger(TextView text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool neg = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    neg = text[i++] == u'-';
  uint64_t v = 0;
  if (i < text.size() && text[i] == u'$') {
    for (++i; i < text.size(); ++i) {
      char16_t c = lowerAscii(text[i]);
      unsigned d;
      if (isDigit(c))
        d = c - u'0';
      else if (c >= u'a' && c <= u'f')
        d = c - u'a' + 10;
      else
        break;
      v = v * 16 + d;
    }
  } else if (i < text.size() && text[i] == u'%') {
    for (++i; i < text.size() && (text[i] == u'0' || text[i] == u'1'); ++i) v = v * 2 + (text[i] - u'0');
  } else {
    for (; i < text.size() && isDigit(text[i]); ++i) v = v * 10 + (text[i] - u'0');
  }
  return neg ? int64_t(0 - v) : int64_t(v);
}

}  // namespace quadrel
