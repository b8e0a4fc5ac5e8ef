#include "scenario.h"

#include <windows.h>

#include "text_util.h"

namespace host {

namespace {

bool readQuoted(const std::string& line, size_t& k, std::string& out, std::string& error) {
  // line[k] is the opening quote.
  std::string raw;
  for (++k; k < line.size(); ++k) {
    if (line[k] == '\\' && k + 1 < line.size()) {
      raw.push_back(line[k]);
      raw.push_back(line[++k]);
      continue;
    }
    if (line[k] == '"') {
      ++k;
      return unescape(raw, out, error);
    }
    raw.push_back(line[k]);
  }
  error = "a quoted string is not closed";
  return false;
}

}  // namespace

bool splitWords(const std::string& line, std::vector<Word>& out, std::string& error) {
  out.clear();
  size_t k = 0;
  while (k < line.size()) {
    if (line[k] == ' ' || line[k] == '\t') {
      ++k;
      continue;
    }
    Word word;
    if (line[k] == '"') {
      if (!readQuoted(line, k, word.value, error))
        return false;
      word.quoted = true;
    } else {
      size_t end = k;
      while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '=' && line[end] != '"') ++end;
      if (end < line.size() && line[end] == '=') {
        word.key = line.substr(k, end - k);
        k = end + 1;
        if (k < line.size() && line[k] == '"') {
          if (!readQuoted(line, k, word.value, error))
            return false;
          word.quoted = true;
        } else {
          end = k;
          while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
          word.value = line.substr(k, end - k);
          k = end;
        }
      } else if (end < line.size() && line[end] == '"') {
        error = "a quote inside a bare word";
        return false;
      } else {
        word.value = line.substr(k, end - k);
        k = end;
      }
    }
    if (k < line.size() && line[k] != ' ' && line[k] != '\t') {
      error = "no blank after a word";
      return false;
    }
    out.push_back(std::move(word));
  }
  return true;
}

bool loadScenario(const std::wstring& path, Scenario& out, std::string& error) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot open " + narrow(path);
    return false;
  }
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  if (startsWith(bytes, "\xEF\xBB\xBF"))
    bytes.erase(0, 3);

  const size_t slash = path.find_last_of(L"\\/");
  std::wstring base = slash == std::wstring::npos ? path : path.substr(slash + 1);
  if (base.size() > 4 && base.compare(base.size() - 4, 4, L".txt") == 0)
    base.resize(base.size() - 4);
  out.name = narrow(base);
  out.steps.clear();

  int number = 0;
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos)
      end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#')
      continue;
    Step step;
    step.line = number;
    step.source = line.substr(first);
    std::string why;
    if (!splitWords(line, step.words, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    out.steps.push_back(std::move(step));
  }
  return true;
}

}  // namespace host
