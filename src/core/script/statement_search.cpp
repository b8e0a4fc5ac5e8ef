#include "core/script/statement_search.h"

#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "core/script/command_table.h"
#include "core/script/line_kind.h"

namespace quadrel {

namespace {

// The command words searched: the catalogue's entries up to "Var".
constexpr int kSearchedCommands = 21;

// Character classes of the editor's whole-word rule: a match starts where
// the class changes and ends where it changes again.
enum class CharClass { Space, Word, Punctuation };

CharClass classOf(char16_t c) {
  if (isIdentChar(c) || c >= 0x80)
    return CharClass::Word;
  if (c <= u' ')
    return CharClass::Space;
  return CharClass::Punctuation;
}

// Outside the line's text lies its line end: space.
CharClass classAt(TextView line, int64_t i) {
  return i < 0 || i >= int64_t(line.size()) ? CharClass::Space : classOf(line[size_t(i)]);
}

bool wholeWordAt(TextView line, int64_t at, int64_t length) {
  const CharClass first = classAt(line, at), last = classAt(line, at + length - 1);
  return first != classAt(line, at - 1) && last != classAt(line, at + length);
}

bool sameIgnoringCase(TextView line, size_t at, TextView word) {
  for (size_t i = 0; i < word.size(); ++i)
    if (lowerAscii(line[at + i]) != lowerAscii(word[i]))
      return false;
  return true;
}

// The first whole-word occurrence of word in line that ends at or before
// endColumn.
std::optional<int64_t> findWord(TextView line, TextView word, int64_t endColumn) {
  const int64_t n = int64_t(word.size());
  for (int64_t at = 0; at + n <= int64_t(line.size()) && at + n <= endColumn; ++at)
    if (sameIgnoringCase(line, size_t(at), word) && wholeWordAt(line, at, n))
      return at;
  return std::nullopt;
}

TextView withoutComment(TextView line) { return line.substr(0, std::min(line.find(u'\''), line.size())); }

bool hasCommandWord(TextView line) {
  const auto catalogue = commandCatalogue();
  for (int k = 0; k < kSearchedCommands; ++k)
    if (findWord(line, catalogue[size_t(k)].name, int64_t(line.size())))
      return true;
  return false;
}

// The caret's line as a bare formula: not empty, not a comment, no command
// word, not a line of a result block.
std::optional<StatementStart> bareLine(TextPlace caret, TextView line) {
  const TextView code = withoutComment(line);
  const TextView trimmed = trimWhite(code);
  if (trimmed.empty() || isResultBlockLine(line) || lineKind(trimmed).isCommand || hasCommandWord(code))
    return std::nullopt;
  StatementStart s;
  s.kind = StatementKind::BareLine;
  s.start = {caret.line, int64_t(trimmed.data() - line.data())};
  s.end = {caret.line, int64_t(trimmed.data() - line.data() + trimmed.size())};
  return s;
}

constexpr int64_t kLineEnd = std::numeric_limits<int64_t>::max() / 2;

}  // namespace

bool isResultBlockLine(TextView line) {
  if (line.starts_with(u"===> ERROR"))
    return true;
  if (line.starts_with(u" ") && line.find(u" => ") != TextView::npos)
    return true;
  // "Ln 12: ..." headers.
  if (line.starts_with(u"Ln ")) {
    size_t i = 3;
    while (i < line.size() && isDigit(line[i])) ++i;
    if (i > 3 && line.substr(i).starts_with(u": "))
      return true;
  }
  // Headers without a line number: a command word in capitals, " = " and a
  // closing ":" ("EXPR = 6*7:"), or "Expression = ...:" for an unknown command.
  const TextView trimmed = trimWhite(line);
  if (!trimmed.ends_with(u':') || trimmed.find(u" = ") == TextView::npos)
    return false;
  const TextView word = trimmed.substr(0, trimmed.find(u' '));
  if (word == u"Expression")
    return true;
  bool capitals = !word.empty();
  for (char16_t c : word) capitals = capitals && c >= u'A' && c <= u'Z';
  return capitals && findCommand(word) >= 0;
}

StatementStart findStatementStart(TextPlace caret, bool caretAtLineEnd, const LineReader& lineText) {
  if (caret.line < 0)
    return {};
  const Text caretLine = lineText(caret.line);
  if (auto bare = bareLine(caret, caretLine))
    return *bare;

  const auto catalogue = commandCatalogue();
  // The range searched grows upwards, chunk by chunk, from its start to
  // limit (a match ends at or before limit). best[k]: the earliest
  // occurrence of command k in the range.
  TextPlace limit{caret.line, int64_t(caretLine.size()) + 1};
  std::array<std::optional<TextPlace>, kSearchedCommands> best;
  int64_t line = caret.line;
  int64_t unread = caret.line;  // the lowest line not yet read, counting down
  std::vector<Text> chunk;      // lines of the newest chunk, top first
  bool blocked = false;         // a result block line ends the search
  do {
    if (!caretAtLineEnd && line > 0)
      --line;
    // Read the lines above what was read, bottom up, up to a result block.
    chunk.clear();
    int64_t top = unread + 1;
    for (int64_t k = unread; k >= line; --k) {
      Text text = k == caret.line ? caretLine : lineText(k);
      if (isResultBlockLine(text)) {
        blocked = true;
        break;
      }
      chunk.insert(chunk.begin(), std::move(text));
      top = k;
    }
    unread = line - 1;
    // A comment in the new lines ends the range one character before it;
    // every occurrence found earlier lies after it and is dropped.
    for (size_t i = 0; i < chunk.size(); ++i) {
      const TextPlace here{top + int64_t(i), 0};
      if (here > limit)
        break;
      const int64_t endColumn = here.line == limit.line ? limit.column : kLineEnd;
      if (auto q = findWord(chunk[i], u"'", endColumn)) {
        limit = *q > 0 ? TextPlace{here.line, *q - 1} : TextPlace{here.line - 1, kLineEnd};
        best.fill(std::nullopt);
        break;
      }
    }
    // The new lines come before everything searched so far: their first
    // occurrence of a word is the range's first.
    for (int k = 0; k < kSearchedCommands; ++k) {
      for (size_t i = 0; i < chunk.size(); ++i) {
        const int64_t lineNo = top + int64_t(i);
        if (lineNo > limit.line)
          break;
        const int64_t endColumn = lineNo == limit.line ? limit.column : kLineEnd;
        if (auto at = findWord(chunk[i], catalogue[size_t(k)].name, endColumn)) {
          best[size_t(k)] = TextPlace{lineNo, *at};
          break;
        }
      }
    }
    for (const auto& place : best) {
      if (place) {
        StatementStart s;
        s.kind = StatementKind::Command;
        s.start = *place;
        s.end = caret;
        return s;
      }
    }
    --line;
  } while (line >= 0 && !blocked);
  return {};
}

}  // namespace quadrel
