// The statement "evaluate the statement before the caret" runs: a bare line
// at the caret, or the nearest command word above it; never across a result
// block; each line of the document read once.
#include "core/script/statement_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/text/u16.h"

namespace quadrel {
namespace {

// A document of lines and the caret's place in it; counts the lines read.
struct Document {
  std::vector<Text> lines;
  mutable int64_t reads = 0;

  LineReader reader() const {
    return [this](int64_t k) {
      ++reads;
      return k >= 0 && k < int64_t(lines.size()) ? lines[size_t(k)] : Text();
    };
  }
  // The statement's text as the editor would take it.
  Text statement(TextPlace caret, bool atEnd) const {
    const StatementStart s = findStatementStart(caret, atEnd, reader());
    if (s.kind == StatementKind::None)
      return u"<none>";
    Text out;
    for (int64_t k = s.start.line; k <= s.end.line; ++k) {
      const Text& l = lines[size_t(k)];
      const size_t from = k == s.start.line ? size_t(s.start.column) : 0;
      const size_t to = k == s.end.line ? std::min(size_t(s.end.column), l.size()) : l.size();
      out += l.substr(from, to > from ? to - from : 0);
      if (k < s.end.line)
        out += u"\r\n";
    }
    return (s.kind == StatementKind::BareLine ? u"bare:" : u"cmd:") + out;
  }
};

struct StatementCase {
  const char* what;
  std::vector<Text> lines;
  TextPlace caret;
  bool atEnd;
  const char16_t* expected;
};

TEST(StatementSearch, FindsTheStatementBeforeTheCaret) {
  const StatementCase cases[] = {
      {"a bare formula alone on its line", {u"2*(3+4)"}, {0, 7}, true, u"bare:2*(3+4)"},
      {"a bare line, caret inside it: the whole line", {u"  2*(3+4) "}, {0, 4}, false, u"bare:2*(3+4)"},
      {"a bare line keeps its formula, not its comment", {u"6*7 ' answer"}, {0, 3}, false, u"bare:6*7"},
      {"under a result block the bare line is still its own statement",
       {u"Expr = 6*7", u"EXPR = 6*7:", u" Result => Number = 42.0000", u"", u"2*(3+4)"},
       {4, 7},
       true,
       u"bare:2*(3+4)"},
      {"a command line at its end", {u"x", u"Expr = 2^10"}, {1, 11}, true, u"cmd:Expr = 2^10"},
      {"caret inside a line: the search starts a line up",
       {u"Var = a ; 4 ' four", u"Expr = a*2 ' doubled"},
       {1, 10},
       false,
       u"cmd:Var = a ; 4 ' four\r\nExpr = a*2"},
      {"a command word in any case", {u"expr = 1+1"}, {0, 10}, true, u"cmd:expr = 1+1"},
      {"a command word inside a longer word does not count",
       {u"Expr = 1", u"Express + 1", u""},
       {2, 0},
       true,
       u"cmd:Expr = 1\r\nExpress + 1\r\n"},
      {"a line whose first word only contains a command word is bare",
       {u"Express + 1"},
       {0, 11},
       true,
       u"bare:Express + 1"},
      {"an empty caret line looks upwards", {u"Expr = 2*2", u""}, {1, 0}, true, u"cmd:Expr = 2*2\r\n"},
      {"nothing but empty lines", {u"", u"", u""}, {2, 0}, true, u"<none>"},
      {"a result block above an empty line stops the search",
       {u"Expr = 6*7", u"Ln 1: EXPR = 6*7:                     ", u" Result => Number = 42.0000", u""},
       {3, 0},
       true,
       u"<none>"},
      {"an error line of a result block stops it too",
       {u"Expr = 1/0", u"===> ERROR n. = 8: Division by zero", u""},
       {2, 0},
       true,
       u"<none>"},
      {"a comment line at the caret is no bare formula: the search goes up",
       {u"Expr = 3", u"' a note"},
       {1, 8},
       true,
       u"cmd:Expr = 3\r\n' a note"},
  };
  for (const StatementCase& c : cases) {
    Document d{c.lines};
    EXPECT_EQ(toUtf8(d.statement(c.caret, c.atEnd)), toUtf8(c.expected)) << c.what;
  }
}

TEST(StatementSearch, ResultBlockLines) {
  const struct {
    const char16_t* line;
    bool result;
  } cases[] = {
      {u"Ln 12: EXPR = 2+3:                     ", true},
      {u"EXPR = 6*7:", true},
      {u"Expression = :", true},
      {u" Result => Number = 5.0000", true},
      {u" Stored => Number v = 2.50", true},
      {u"===> ERROR n. = 8: Division by zero", true},
      {u"Expr = 6*7", false},
      {u"2*(3+4)", false},
      {u"Ln = 3", false},
      {u"x => y", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isResultBlockLine(c.line), c.result) << toUtf8(c.line);
}

// A long document without any command word: every line is read once, not
// once per pass and command.
TEST(StatementSearch, ALongDocumentIsReadOnce) {
  Document d;
  for (int k = 0; k < 20000; ++k) d.lines.push_back(u"a = b + " + intText(k) + u" ' note");
  d.lines.push_back(u"");
  EXPECT_EQ(toUtf8(d.statement({20000, 0}, true)), "<none>");
  EXPECT_LE(d.reads, 20001 + 2);
  // The same document with a command word on its first line finds it there,
  // still reading each line once.
  d.lines.front() = u"Expr = 1";
  d.reads = 0;
  const StatementStart found = findStatementStart({20000, 0}, true, d.reader());
  EXPECT_EQ(found.kind, StatementKind::Command);
  EXPECT_EQ(found.start.line, 0);
  EXPECT_EQ(found.start.column, 0);
  EXPECT_LE(d.reads, 20001 + 2);
}

}  // namespace
}  // namespace quadrel
