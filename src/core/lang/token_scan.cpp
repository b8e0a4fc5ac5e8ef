#include "core/lang/token_scan.h"

#include "core/lang/name_chars.h"
#include "core/text/number_reader.h"

namespace quadrel {

TokenSpan scanToken(TextView s, size_t i) {
  const size_t n = s.size();
  const char16_t c = s[i];
  size_t j = i + 1;
  auto span = [&](auto pred, Lexeme kind) {
    while (j < n && pred(s[j])) ++j;
    return TokenSpan{i, j, kind, 0};
  };
  if (isWhite(c))
    return span(isWhite, Lexeme::White);
  if (c == u'[') {
    while (j < n && s[j] != u']') ++j;
    if (j < n)
      ++j;  // the closing bracket; without one the token ends with the text
    TokenSpan t{i, j, Lexeme::Matrix, 0};
    if (s[j - 1] == u']' && j < n) {
      const char16_t suffix = upperAscii(s[j]);
      if (suffix == u'I' || suffix == u'T' || suffix == u'D') {
        t.matrixSuffix = suffix;
        ++t.end;
      }
    }
    return t;
  }
  if (c == u'#')
    return span(isIdentChar, Lexeme::Const);
  if (c == u'&')
    return span(isIdentChar, Lexeme::Hex);
  if (c == u'!')
    return span(isDigit, Lexeme::Bin);
  if (isDigit(c) || c == u'.' || c == u',') {
    const LiteralScan scan = scanDecimal(s, i);
    return TokenSpan{i, scan.end, Lexeme::Number, 0, !scan.wellFormed};
  }
  if (isNameStart(c))
    return span(isNameChar, Lexeme::Identifier);
  if ((c == u'<' || c == u'>') && j < n && (s[j] == u'=' || s[j] == u'>'))
    ++j;
  return {i, j, Lexeme::Symbol, 0};
}

}  // namespace quadrel
