// Text helpers of the test host: UTF-8 / UTF-16 / code-page conversions and
// the quoted-string escapes of the scenario files.
#pragma once

#include <string>
#include <string_view>

namespace host {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// Bytes of a document in a Scintilla code page (65001 = UTF-8, anything else
// = the system's ANSI code page) and back.
std::string toCodePage(std::wstring_view text, int codePage);
std::wstring fromCodePage(std::string_view bytes, int codePage);

// Scenario strings: \r \n \t \\ \" \' and \u{hex} are escapes.
// Gives false (and an error text) on a bad escape.
bool unescape(std::string_view raw, std::string& out, std::string& error);
// The other way, for failure messages: control characters become escapes.
std::string visible(std::string_view utf8);

std::string replaceAll(std::string text, std::string_view from, std::string_view to);
bool startsWith(std::string_view text, std::string_view prefix);
std::string lower(std::string_view text);

}  // namespace host
