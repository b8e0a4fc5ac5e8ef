#include "core/text/u16.h"

namespace quadrel {

Text toLower(TextView s) {
  Text r(s);
  for (auto& c : r) c = lowerAscii(c);
  return r;
}

Text toUpper(TextView s) {
  Text r(s);
  for (auto& c : r) c = upperAscii(c);
  return r;
}

bool equalsIgnoreCase(TextView a, TextView b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i]))
      return false;
  return true;
}

TextView trimBlanks(TextView s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  return s.substr(b, e - b);
}

TextView trimWhite(TextView s) {
  size_t b = 0, e = s.size();
  while (b < e && isWhite(s[b])) ++b;
  while (e > b && isWhite(s[e - 1])) --e;
  return s.substr(b, e - b);
}

Text ascii(std::string_view s) {
  Text r;
  r.reserve(s.size());
  for (unsigned char c : s) r.push_back(char16_t(c));
  return r;
}

Text fromUtf8(std::string_view s) {
  Text r;
  r.reserve(s.size());
  size_t i = 0;
  const size_t n = s.size();
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < n) {
    unsigned c = byte(i);
    unsigned cp = 0xFFFD;
    size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < n && (byte(i + 1) & 0xC0) == 0x80) {
      cp = ((c & 0x1F) << 6) | (byte(i + 1) & 0x3F);
      len = 2;
      if (cp < 0x80)
        cp = 0xFFFD;
    } else if ((c & 0xF0) == 0xE0 && i + 2 < n && (byte(i + 1) & 0xC0) == 0x80 && (byte(i + 2) & 0xC0) == 0x80) {
      cp = ((c & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
      len = 3;
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    } else if ((c & 0xF8) == 0xF0 && i + 3 < n && (byte(i + 1) & 0xC0) == 0x80 && (byte(i + 2) & 0xC0) == 0x80 &&
               (byte(i + 3) & 0xC0) == 0x80) {
      cp = ((c & 0x07) << 18) | ((byte(i + 1) & 0x3F) << 12) | ((byte(i + 2) & 0x3F) << 6) | (byte(i + 3) & 0x3F);
      len = 4;
      if (cp < 0x10000 || cp > 0x10FFFF)
        cp = 0xFFFD;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      r.push_back(char16_t(0xD800 + (cp >> 10)));
      r.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      r.push_back(char16_t(cp));
    }
  }
  return r;
}

std::string toUtf8(TextView s) {
  std::string r;
  r.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    // A run of ASCII units, the usual text, goes over in one step.
    size_t end = i;
    while (end < s.size() && s[end] < 0x80) ++end;
    if (end > i) {
      const size_t at = r.size();
      r.resize(at + (end - i));
      for (size_t k = i; k < end; ++k) r[at + (k - i)] = char(s[k]);
      i = end - 1;
      continue;
    }
    unsigned cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate cannot be written as UTF-8
    }
    if (cp < 0x80) {
      r.push_back(char(cp));
    } else if (cp < 0x800) {
      r.push_back(char(0xC0 | (cp >> 6)));
      r.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      r.push_back(char(0xE0 | (cp >> 12)));
      r.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      r.push_back(char(0xF0 | (cp >> 18)));
      r.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
      r.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return r;
}

bool isValidUtf8(std::string_view s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    unsigned c = static_cast<unsigned char>(s[i]);
    size_t len;
    unsigned min;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4, min = 0x10000;
    } else {
      return false;
    }
    if (i + len > n)
      return false;
    unsigned cp = c & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
      unsigned b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

Text intText(int64_t v) {
  char16_t buf[24];
  int p = 24;
  uint64_t u = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
  do {
    buf[--p] = char16_t(u'0' + u % 10);
    u /= 10;
  } while (u);
  if (v < 0)
    buf[--p] = u'-';
  return Text(buf + p, buf + 24);
}

void replaceAll(Text& s, TextView from, TextView to) {
  if (from.empty())
    return;
  size_t pos = s.find(from);
  if (pos == Text::npos)
    return;
  Text r;
  r.reserve(s.size());
  size_t last = 0;
  while (pos != Text::npos) {
    r.append(s, last, pos - last);
    r.append(to);
    last = pos + from.size();
    pos = s.find(from, last);
  }
  r.append(s, last, Text::npos);
  s.swap(r);
}

size_t zeroTerminatedLength(const char16_t* p) {
  if (!p)
    return 0;
  size_t n = 0;
  while (p[n]) ++n;
  return n;
}

}  // namespace quadrel
