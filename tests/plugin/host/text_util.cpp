#include "text_util.h"

#include <windows.h>

#include <cstdio>

namespace host {

namespace {

std::string encode(std::wstring_view text, UINT codePage) {
  if (text.empty())
    return {};
  const int n = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring decode(std::string_view bytes, UINT codePage) {
  if (bytes.empty())
    return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring out(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), out.data(), n);
  return out;
}

void appendUtf8(std::string& out, unsigned long cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::wstring widen(std::string_view utf8) { return decode(utf8, CP_UTF8); }
std::string narrow(std::wstring_view wide) { return encode(wide, CP_UTF8); }

std::string toCodePage(std::wstring_view text, int codePage) {
  return encode(text, codePage == 65001 ? CP_UTF8 : CP_ACP);
}

std::wstring fromCodePage(std::string_view bytes, int codePage) {
  return decode(bytes, codePage == 65001 ? CP_UTF8 : CP_ACP);
}

bool unescape(std::string_view raw, std::string& out, std::string& error) {
  out.clear();
  for (size_t k = 0; k < raw.size(); ++k) {
    const char c = raw[k];
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++k >= raw.size()) {
      error = "a backslash ends the string";
      return false;
    }
    switch (raw[k]) {
      case 'r': out.push_back('\r'); break;
      case 'n': out.push_back('\n'); break;
      case 't': out.push_back('\t'); break;
      case '\\': out.push_back('\\'); break;
      case '"': out.push_back('"'); break;
      case '\'': out.push_back('\''); break;
      case 'u': {
        const size_t close = raw.find('}', k);
        if (k + 1 >= raw.size() || raw[k + 1] != '{' || close == std::string_view::npos) {
          error = "\\u needs the form \\u{hex}";
          return false;
        }
        const std::string hex(raw.substr(k + 2, close - k - 2));
        char* end = nullptr;
        const unsigned long cp = std::strtoul(hex.c_str(), &end, 16);
        if (hex.empty() || *end || cp > 0x10FFFF) {
          error = "bad code point \\u{" + hex + "}";
          return false;
        }
        appendUtf8(out, cp);
        k = close;
        break;
      }
      default: error = std::string("unknown escape \\") + raw[k]; return false;
    }
  }
  return true;
}

std::string visible(std::string_view utf8) {
  std::string out;
  for (const char c : utf8) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u{%x}", unsigned(c));
          out += buffer;
        } else {
          out.push_back(c);
        }
    }
  }
  return "\"" + out + "\"";
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty())
    return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z')
      c = char(c - 'A' + 'a');
  return out;
}

}  // namespace host
