// Scenario files: one step a line, "#" starts a comment line. A line is a
// list of words; a word is bare (no blanks), a quoted string with escapes
// ("a \"b\"\r\n"), or key=value where the value is bare or quoted.
#pragma once

#include <string>
#include <vector>

namespace host {

struct Word {
  std::string key;    // the part before "=" of key=value, else empty
  std::string value;  // the word itself, unescaped
  bool quoted = false;
};

struct Step {
  int line = 0;
  std::string source;  // the line as written, for messages
  std::vector<Word> words;
};

struct Scenario {
  std::string name;
  std::vector<Step> steps;
};

// Reads a UTF-8 file (a byte-order mark is skipped). Gives false and an error
// text naming the line when a line cannot be split into words.
bool loadScenario(const std::wstring& path, Scenario& out, std::string& error);
bool splitWords(const std::string& line, std::vector<Word>& out, std::string& error);

}  // namespace host
