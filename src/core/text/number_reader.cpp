#include "core/text/number_reader.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace quadrel {

namespace {

bool isSeparator(char16_t c) { return c == u'.' || c == u','; }

// The nearest double of an ASCII number text, narrowed on the stack (formula
// literals are short); with decimalComma a "," reads as the point and a
// leading point gets a "0" before it. Too large gives HUGE_VAL, too small 0.
double narrowNumberValue(TextView text, bool decimalComma) {
  char small[64];
  std::string large;
  char* narrow = small;
  if (text.size() + 2 > sizeof small) {
    large.resize(text.size() + 2);
    narrow = large.data();
  }
  size_t n = 0;
  if (decimalComma && !text.empty() && isSeparator(text.front()))
    narrow[n++] = '0';
  for (char16_t c : text) narrow[n++] = decimalComma && c == u',' ? '.' : char(c);
  narrow[n] = '\0';
  double v = 0;
  const auto res = std::from_chars(narrow, narrow + n, v);
  if (res.ec == std::errc::result_out_of_range) {
    // Decide between overflow and underflow the way strtod does.
    const long double probe = std::strtold(narrow, nullptr);
    return probe > 1 ? HUGE_VAL : 0.0;
  }
  return v;
}

// The common literal read without the C conversion: up to 15 digits with at
// most one separator and no exponent. The digits form an integer below 2^53
// and the power of ten that scales it is exact, so the one division is
// correctly rounded: the same double the conversion gives. False (nothing
// read) for any other literal.
bool shortDecimalValue(TextView literal, double& value) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  uint64_t digits = 0;
  int count = 0, decimals = 0;
  bool separator = false;
  for (char16_t c : literal) {
    if (isDigit(c)) {
      if (++count > 15)
        return false;
      digits = digits * 10 + uint64_t(c - u'0');
      decimals += separator;
    } else if (isSeparator(c) && !separator) {
      separator = true;
    } else {
      return false;
    }
  }
  if (count == 0)
    return false;
  value = double(digits) / kPowersOfTen[decimals];
  return true;
}

}  // namespace

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

int hexDigitValue(char16_t c) {
  c = lowerAscii(c);
  if (isDigit(c))
    return c - u'0';
  if (c >= u'a' && c <= u'f')
    return c - u'a' + 10;
  return -1;
}

size_t skipBlanksAndSign(TextView text, bool& negative) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    negative = text[i++] == u'-';
  return i;
}

double asciiNumberValue(TextView text) { return narrowNumberValue(text, false); }

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
  if (shortDecimalValue(literal, value))
    return true;
  value = 0.0;
  const LiteralScan scan = scanDecimal(literal, 0);
  if (literal.empty() || !scan.wellFormed || scan.end != literal.size())
    return false;
  // A separator alone: nothing for the C conversion to read.
  if (literal.size() == 1 && isSeparator(literal[0]))
    return true;
  value = narrowNumberValue(literal, true);
  if (value == HUGE_VAL) {
    value = 0.0;  // too large for a double: refused
    return false;
  }
  return true;
}

bool hexValue(TextView literal, double& value) {
  value = 0.0;
  if (literal.size() < 2 || literal[0] != u'&')
    return false;
  uint64_t v = 0;
  for (size_t k = 1; k < literal.size(); ++k) {
    const int d = hexDigitValue(literal[k]);
    if (d < 0)
      return false;
    v = v * 16 + uint64_t(d);  // wraps on overflow
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
  bool negative;
  const size_t i = skipBlanksAndSign(text, negative);
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
