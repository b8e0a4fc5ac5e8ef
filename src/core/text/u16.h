// UTF-16 text helpers used throughout the core.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quadrel {

using Text = std::u16string;
using TextView = std::u16string_view;

// ASCII-only case mapping: names, keywords and commands are ASCII.
constexpr char16_t lowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }
constexpr char16_t upperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
constexpr bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
constexpr bool isIdentStart(char16_t c) { return isLetter(c) || c == u'_'; }
constexpr bool isIdentChar(char16_t c) { return isIdentStart(c) || isDigit(c); }
// Blank, tab, CR or LF: the white space of formulas and script lines.
constexpr bool isWhite(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

Text toLower(TextView s);
Text toUpper(TextView s);
bool equalsIgnoreCase(TextView a, TextView b);

// Trims blanks (spaces only) or, with trimSpaceLike, also tabs, CR and LF.
TextView trimBlanks(TextView s);
TextView trimWhite(TextView s);

// ASCII text to UTF-16 (for literals built from narrow strings).
Text ascii(std::string_view s);

Text fromUtf8(std::string_view s);
std::string toUtf8(TextView s);
// Strict check: true when the bytes are valid UTF-8.
bool isValidUtf8(std::string_view s);

// Decimal text of an integer.
Text intText(int64_t v);

// Replaces every occurrence of from (non-empty) by to.
void replaceAll(Text& s, TextView from, TextView to);

// Length of a zero-terminated UTF-16 text; null reads as empty.
size_t zeroTerminatedLength(const char16_t* p);
inline TextView viewOf(const char16_t* p) { return p ? TextView(p, zeroTerminatedLength(p)) : TextView(); }

}  // namespace quadrel
