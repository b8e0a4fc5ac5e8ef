// The lexer on its own: token types, elements, matrix suffixes and the ruler
// line, as the parser and the error reports see them.
#include <vector>

#include "core/eval/parser_internal.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

struct Token {
  Text type;
  Text element;
  bool operator==(const Token&) const = default;
};

void PrintTo(const Token& t, std::ostream* os) { *os << "{" << toUtf8(t.type) << ", " << toUtf8(t.element) << "}"; }

class Lexer : public EngineTest {
 protected:
  // Every token of a formula up to and including the end token.
  std::vector<Token> tokens(TextView formula) {
    e.errors.code = kNoError;
    e.lexer.expression = Text(formula);
    e.lexer.start();
    std::vector<Token> out;
    for (size_t guard = 0; guard <= formula.size() + 1; ++guard) {
      nextToken(e);
      out.push_back({e.lexer.tokenType(), Text(e.lexer.element())});
      if (e.lexer.kind == TokKind::End)
        break;
    }
    return out;
  }
};

TEST_F(Lexer, TokenTypesAndElements) {
  setVar(u"x", u"2");
  const struct {
    const char16_t* formula;
    std::vector<Token> expected;
  } cases[] = {
      {u"  12.5+x", {{u"num", u"12.5"}, {u"+", u"+"}, {u"num", u"2.0000000000"}, {u"", u""}}},
      {u"&FF", {{u"hex", u"&FF"}, {u"", u""}}},
      {u"!102", {{u"bin", u"!102"}, {u"", u""}}},
      {u"1.2.3", {{u"num", u"1.2.3"}, {u"", u""}}},
      {u"x<=x", {{u"num", u"2.0000000000"}, {u"<=", u"<="}, {u"num", u"2.0000000000"}, {u"", u""}}},
      {u"x=<x", {{u"num", u"2.0000000000"}, {u"=", u"="}, {u"<", u"<"}, {u"num", u"2.0000000000"}, {u"", u""}}},
      {u"1<>2>>3", {{u"num", u"1"}, {u"<>", u"<>"}, {u"num", u"2"}, {u">>", u">>"}, {u"num", u"3"}, {u"", u""}}},
      {u"sum(1;2)",
       {{u"sum", u"sum"}, {u"(", u"("}, {u"num", u"1"}, {u";", u";"}, {u"num", u"2"}, {u")", u")"}, {u"", u""}}},
      {u"1 mod 2 xor det",
       {{u"num", u"1"}, {u"mod", u"mod"}, {u"num", u"2"}, {u"xor", u"xor"}, {u"det", u"det"}, {u"", u""}}},
      {u"sin_2", {{u"id", u"sin_2"}, {u"", u""}}},
      {u"#pi*#", {{u"const", u"#pi"}, {u"*", u"*"}, {u"const", u"#"}, {u"", u""}}},
      {u"[abc", {{u"matrix", u"[abc"}, {u"", u""}}},            // no "]": the token ends with the text
      {u"\u00d7\t\r\n", {{u"\u00d7", u"\u00d7"}, {u"", u""}}},  // a sign beyond ASCII
      {u"\u00e9t\u00e9_2*\u03b1", {{u"id", u"\u00e9t\u00e9_2"}, {u"*", u"*"}, {u"id", u"\u03b1"}, {u"", u""}}},
      {u"", {{u"", u""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(tokens(c.formula), c.expected);
  }
}

TEST_F(Lexer, MatrixSuffix) {
  for (const char16_t* formula : {u"[mA]T*2", u"[mA]t*2"}) {
    SCOPED_TRACE(toUtf8(formula));
    e.lexer.expression = formula;
    e.lexer.start();
    nextToken(e);
    EXPECT_EQ(e.lexer.tokenType(), u"matrix");
    EXPECT_EQ(Text(e.lexer.element()), u"[mA]");
    EXPECT_EQ(e.lexer.matrixSuffix, u'T');
    nextToken(e);
    EXPECT_EQ(e.lexer.tokenType(), u"*");
    EXPECT_EQ(e.lexer.matrixSuffix, 0);
  }
  EXPECT_EQ(
      tokens(u"[a]I[b]d[c]x"),
      (std::vector<Token>{{u"matrix", u"[a]"}, {u"matrix", u"[b]"}, {u"matrix", u"[c]"}, {u"id", u"x"}, {u"", u""}}));
}

TEST_F(Lexer, NamesResolvedOnTheSpot) {
  // A known function leaves no code; an unknown name sets 4 and reports it.
  tokens(u"sin");
  EXPECT_EQ(e.errors.code, kNoError);
  tokens(u"SUM");
  EXPECT_EQ(e.errors.code, kErrUndefinedFunction);
  EXPECT_NE(log().find(u"Undefined Function = SUM\r\n"), Text::npos);
  // Constants and variables become numbers.
  EXPECT_EQ(tokens(u"pi")[0], (Token{u"num", u"3.141592653589793"}));
  setVar(u"pi", u"3");
  EXPECT_EQ(tokens(u"pi")[0], (Token{u"num", u"3.0000000000"}));
  // A value that ten decimals cannot hold keeps its exact text.
  setVar(u"tiny", u"1e-12");
  EXPECT_EQ(leadingNumber(tokens(u"tiny")[0].element), 1e-12);
}

TEST_F(Lexer, RulerLine) {
  e.lexer.expression = u"12 + foo";
  e.lexer.start();
  const char16_t* rulers[] = {u"pos(000)    = |", u"pos(002)    = --|", u"pos(004)    = ----|",
                              u"pos(008)    = --------|"};
  for (const char16_t* ruler : rulers) {
    nextToken(e);
    EXPECT_EQ(e.lexer.rulerLine(), Text(ruler));
  }
  // At the end every further read still moves the position by one.
  nextToken(e);
  EXPECT_EQ(e.lexer.rulerLine(), u"pos(009)    = ---------|");
  EXPECT_EQ(e.lexer.kind, TokKind::End);
}

}  // namespace
}  // namespace quadrel
