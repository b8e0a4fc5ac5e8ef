#include "core/text/number_reader.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace quadrel {

namespace {

bool isSeparator(char16_t c) { return c == u'.' || c == u','; }

// The exponent at s[i] ("e", optional sign, digits): the index after it, or
// i when there is none.
size_t exponentEnd(TextView s, size_t i) {
  if (i >= s.size() || (s[i] != u'e' && s[i] != u'E'))
    return i;
  size_t k = i + 1;
  if (k < s.size() && (s[k] == u'+' || s[k] == u'-'))
    ++k;
  if (k >= s.size() || !isDigit(s[k]))
    return i;
  while (k < s.size() && isDigit(s[k])) ++k;
  return k;
}

}  // namespace

LiteralScan scanDecimal(TextView s, size_t i) {
  size_t j = i, separators = 0, digits = 0;
  for (; j < s.size() && (isDigit(s[j]) || isSeparator(s[j])); ++j) {
    if (isSeparator(s[j]))
      ++separators;
    else
      ++digits;
  }
  if (digits > 0)
    j = exponentEnd(s, j);
  return {j, separators <= 1};
}

bool decimalValue(TextView literal, double& value) {
  value = 0.0;
  const LiteralScan scan = scanDecimal(literal, 0);
  if (literal.empty() || !scan.wellFormed || scan.end != literal.size())
    return false;
  // Digits alone or a separator alone: nothing for the C conversion to read.
  std::string narrow;
  narrow.reserve(literal.size() + 1);
  for (char16_t c : literal) narrow.push_back(c == u',' ? '.' : char(c));
  if (narrow == ".")
    return true;
  if (narrow.front() == '.')
    narrow.insert(narrow.begin(), '0');
  const auto res = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
  if (res.ec == std::errc::result_out_of_range) {
    // Out of range is either too small (reads as 0) or too large (refused).
    const long double probe = std::strtold(narrow.c_str(), nullptr);
    value = 0.0;
    return !(probe > 1);
  }
  return res.ec == std::errc() && res.ptr == narrow.data() + narrow.size() && std::isfinite(value);
}

bool hexValue(TextView literal, double& value) {
  value = 0.0;
  if (literal.size() < 2 || literal[0] != u'&')
    return false;
  uint64_t v = 0;
  for (size_t k = 1; k < literal.size(); ++k) {
    const char16_t c = lowerAscii(literal[k]);
    unsigned d;
    if (isDigit(c))
      d = c - u'0';
    else if (c >= u'a' && c <= u'f')
      d = c - u'a' + 10;
    else
      return false;
    v = v * 16 + d;  // wraps on overflow
  }
  value = double(int64_t(v));
  return true;
}

bool binaryValue(TextView literal, double& value) {
  value = 0.0;
  if (literal.size() < 2 || literal[0] != u'!')
    return false;
  const size_t digits = literal.size() - 1;
  double v = 0.0;
  for (size_t k = 0; k < digits; ++k) {
    const char16_t c = literal[1 + k];
    if (c != u'0' && c != u'1')
      return false;
    if (c == u'1')
      v += std::ldexp(1.0, int(digits - 1 - k));
  }
  value = v;
  return true;
}

double leadingDecimal(TextView text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    negative = text[i++] == u'-';
  // The well-formed front: up to a second separator, then an exponent.
  size_t j = i, separators = 0, digits = 0;
  for (; j < text.size() && (isDigit(text[j]) || isSeparator(text[j])); ++j) {
    if (isSeparator(text[j]) && ++separators > 1)
      break;
    if (isDigit(text[j]))
      ++digits;
  }
  if (digits == 0)
    return 0.0;
  if (separators <= 1)
    j = exponentEnd(text, j);
  double v;
  if (!decimalValue(text.substr(i, j - i), v))
    v = HUGE_VAL;  // only a literal too large for a double fails here
  return negative ? -v : v;
}

}  // namespace quadrel
