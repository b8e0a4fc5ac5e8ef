// Whole-file reads and writes of the test host.
#pragma once

#include <string>

namespace host {

bool readFile(const std::wstring& path, std::string& bytes);
bool writeFile(const std::wstring& path, const std::string& bytes);
// A text file as UTF-8: UTF-16 and UTF-8 by their byte-order marks, else the
// ANSI code page unless the bytes are valid UTF-8.
std::string fileText(const std::string& bytes);

}  // namespace host
