// Variables and user functions: defining, looking up, list texts, expansion
// into formulas and the check for definitions that reach themselves.
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::occurrences;
using testing_support::withoutLineNumbers;

class Store : public EngineTest {
 protected:
  Text list(TextView which) { return storeNamed(e, which).listText(); }
};

TEST_F(Store, DefineCountsEntriesAndWritesTheList) {
  EXPECT_EQ(defineEntry(e, u"x", u"2", false), 1u);
  EXPECT_EQ(list(u"vars"), u"x=2;");
  EXPECT_EQ(defineEntry(e, u"x", u"1 E5", false), 1u);  // blanks removed, lower-cased
  EXPECT_EQ(list(u"vars"), u"x=1e5;");
  EXPECT_EQ(value(u"x"), 100000);
  EXPECT_EQ(defineEntry(e, u"y", u"3", false), 2u);
  EXPECT_EQ(defineEntry(e, u"x", u"7", false), 2u);
  EXPECT_EQ(defineEntry(e, u"z=", u"4", false), 3u);  // no second "="
  EXPECT_EQ(list(u"VARS"), u"x=7;y=3;z=4;") << "a redefinition keeps its place";
  EXPECT_EQ(storeNamed(e, u"Vars").listLength(), 12u);

  EXPECT_EQ(list(u"funcs"), u"");
  EXPECT_EQ(defineEntry(e, u"F", u"2 * X", true), 1u);
  EXPECT_EQ(list(u""), u"F=2*x;");

  // An empty name stores nothing and sets 13.
  for (const char16_t* name : {u"", u"="}) {
    e.errors.code = kNoError;
    EXPECT_EQ(defineEntry(e, name, u"5", false), 3u);
    EXPECT_EQ(e.errors.code, kErrInvalidArgument);
  }
  EXPECT_EQ(list(u"vars"), u"x=7;y=3;z=4;");
}

TEST_F(Store, NamesMatchWholeAndCaseSensitively) {
  defineEntry(e, u"ax", u"1", false);
  EXPECT_EQ(defineEntry(e, u"x", u"2", false), 2u) << "x is not found inside ax";
  EXPECT_EQ(defineEntry(e, u"X", u"5", false), 3u);
  EXPECT_EQ(list(u"vars"), u"ax=1;x=2;X=5;");
  EXPECT_EQ(value(u"X+x+ax"), 8);
  EXPECT_EQ(failure(u"AX"), kErrUndefinedFunction);

  e.errors.code = 3;
  ASSERT_NE(findEntry(e, u"x=", false), nullptr);
  EXPECT_EQ(findEntry(e, u"x", false)->value, 2);
  EXPECT_EQ(e.errors.code, kNoError);
  for (const char16_t* missing : {u"a", u"axx", u""}) {
    EXPECT_EQ(findEntry(e, missing, false), nullptr);
    EXPECT_EQ(e.errors.code, kErrNotFound);
  }
  EXPECT_EQ(findEntry(e, u"x", true), nullptr) << "a variable is not a function";
}

TEST_F(Store, VariableValues) {
  const struct {
    const char16_t* text;
    double value;
  } cases[] = {
      {u" 3 ", 3},
      {u"-1.5", -1.5},
      {u"2.5e-3", 2.5e-3},
      {u"abc", 0},
      {u"", 0},
      {u"2abc", 2},
      {u"1,5", 1.5},      // the decimal comma, as the Var command reads it
      {u"1.2.3", 1.2},    // the leading number of a stored value text
      {u"1e-12", 1e-12},  // full precision is kept
      {u"12345678901234567890", 12345678901234567890.0},
  };
  for (const auto& c : cases) {
    defineEntry(e, u"v", c.text, false);
    ASSERT_NE(findEntry(e, u"v", false), nullptr);
    EXPECT_EQ(findEntry(e, u"v", false)->value, c.value) << toUtf8(c.text);
    EXPECT_EQ(value(u"v"), c.value) << toUtf8(c.text);
  }
  setVar(u"tiny", u"1e-12");
  EXPECT_EQ(value(u"tiny*1000000000000"), 1e-12 * 1e12);
  setVar(u"neg", u"-2");
  EXPECT_EQ(value(u"neg^2"), 4) << "a variable is one operand";
}

TEST_F(Store, VariablesShadowConstantsAndFunctionsButNotReservedWords) {
  setVar(u"pi", u"3");
  EXPECT_EQ(value(u"pi"), 3);
  EXPECT_EQ(value(u"#pi"), 3.141592653589793);
  setVar(u"sin", u"2");
  EXPECT_EQ(value(u"sin*3"), 6);
  setVar(u"sum", u"5");
  EXPECT_EQ(value(u"sum(1;2)"), 3);
}

TEST_F(Store, FunctionsExpandAsBracketedBodies) {
  setFunction(u"f", u"2*x");
  setVar(u"x", u"3");
  EXPECT_EQ(value(u"f+1"), 7);
  EXPECT_EQ(value(u"F+1"), 7) << "function names ignore case";
  setFunction(u"h", u"1+1");
  EXPECT_EQ(value(u"-h^2"), -4) << "the body is bracketed";
  // Whole identifiers only, and not inside "#", "&" or "[...]" tokens.
  EXPECT_EQ(failure(u"fx"), kErrUndefinedFunction);
  setFunction(u"pi", u"4");
  EXPECT_EQ(value(u"pi+#pi"), 4 + 3.141592653589793);
  setFunction(u"ff", u"1");
  EXPECT_EQ(value(u"&ff"), 255);
  EXPECT_EQ(failure(u"[ff]"), kErrMatrixNotFound);
  // A function named like a part of a built-in name leaves the built-in alone.
  setFunction(u"a", u"5");
  EXPECT_EQ(value(u"a+abs(-2)+sum(1;2)"), 10);
  // Decimal commas inside bodies read as points.
  setFunction(u"half", u"0,5");
  EXPECT_EQ(value(u"half*3"), 1.5);
}

TEST_F(Store, FunctionsMayUseEachOtherInAnyOrder) {
  setVar(u"x", u"1");
  setFunction(u"f", u"x+1");
  setFunction(u"g", u"f*2");  // uses a function defined before it
  setFunction(u"p", u"q*2");  // uses a function defined after it
  setFunction(u"q", u"x+2");
  setFunction(u"r", u"p+g+q");
  EXPECT_EQ(value(u"g"), 4);
  EXPECT_EQ(value(u"p"), 6);
  EXPECT_EQ(value(u"R"), 13);
  EXPECT_TRUE(log().empty());
}

TEST_F(Store, DefinitionsThatReachThemselves) {
  setFunction(u"ok", u"1");
  setFunction(u"f", u"g+1");
  setFunction(u"g", u"f*2");
  // With the check: code 1 before anything is evaluated.
  EXPECT_EQ(failure(u"ok+1", true), kErrAmbiguousFunction);
  EXPECT_EQ(deEval(u"ok", true), 1.0);
  EXPECT_NE(
      withoutLineNumbers(log()).find(u"\r\nProcedure : 'CheckFunctions (Line: #)'\r\n"
                                     u"Error nr. : 1, Description: Ambiguous function name      (Module: eval)\r\n"
                                     u"sFuncts: ok=1;f=g+1;g=f*2;\r\nFunct: f\r\nExtended Error Info:"),
      Text::npos);
  // Without the check: only formulas that reach the cycle fail.
  resetEvaluator(e);
  setFunction(u"ok", u"1");
  setFunction(u"f", u"g+1");
  setFunction(u"g", u"f*2");
  EXPECT_EQ(failure(u"1+g", false), kErrAmbiguousFunction);
  EXPECT_EQ(occurrences(log(), u"Procedure : 'CheckFunctions"), 1u);
  EXPECT_EQ(eval(u"ok+1", false).value, 2);
  // Breaking the cycle.
  setFunction(u"g", u"3");
  EXPECT_EQ(value(u"f"), 4);
  // A body naming itself, in another case.
  setFunction(u"K", u"k*2");
  EXPECT_EQ(failure(u"1", true), kErrAmbiguousFunction);
  EXPECT_EQ(failure(u"k", false), kErrAmbiguousFunction);
  EXPECT_NE(log().find(u"Funct: K"), Text::npos);
}

TEST_F(Store, LongChainsAndExplosiveExpansion) {
  // A cycle through many definitions and a long acyclic chain: neither may
  // exhaust the stack.
  const int n = 20000;
  for (int k = 0; k < n; ++k) setFunction(u"c" + intText(k), u"c" + intText((k + 1) % n) + u"+1");
  EXPECT_EQ(failure(u"c5", true), kErrAmbiguousFunction);
  EXPECT_EQ(failure(u"c5", false), kErrAmbiguousFunction);
  storeNamed(e, u"funcs").clear();
  for (int k = 0; k < n; ++k) setFunction(u"d" + intText(k), k + 1 < n ? u"d" + intText(k + 1) : Text(u"1"));
  EXPECT_EQ(failure(u"d0", true), kErrParserSyntax) << "brackets nested too deep";
  EXPECT_EQ(value(u"d" + intText(n - 300)), 1);

  // Each level doubles the text, far beyond the limit of the expansion; the
  // long number keeps the work per character small.
  storeNamed(e, u"funcs").clear();
  setFunction(u"f0", Text(4000, u'0') + u"1");
  for (int k = 1; k <= 40; ++k) setFunction(u"f" + intText(k), u"f" + intText(k - 1) + u"+f" + intText(k - 1));
  EXPECT_EQ(failure(u"f40", true), kErrParserSyntax);
  EXPECT_NE(log().find(u"Procedure : 'ExpandFunctions"), Text::npos);
  EXPECT_EQ(value(u"f10"), 1024);
}

TEST_F(Store, ResetEmptiesEverything) {
  setVar(u"x", u"1");
  setFunction(u"f", u"2");
  failure(u"1/0");
  e.messages.showLevel = kShowParser;
  resetEvaluator(e);
  EXPECT_EQ(storeNamed(e, u"vars").listLength() + storeNamed(e, u"funcs").listLength(), 0u);
  EXPECT_EQ(e.eval.resultType, -1);
  EXPECT_TRUE(log().empty());
  EXPECT_EQ(e.messages.showLevel, 0);
  EXPECT_EQ(failure(u"x+f"), kErrUndefinedFunction);
  value(u"1");
  EXPECT_EQ(e.eval.resultType, 0);
}

// Names in the user's own letters are read like ASCII ones, wherever a
// formula names a variable or a user function; signs beyond ASCII are not letters.
TEST_F(Store, NamesWithLettersBeyondAsciiCanBeUsed) {
  struct Case {
    const char16_t* name;
    const char16_t* formula;
    double expected;
  };
  const Case cases[] = {
      {u"gr\u00f6\u00dfe", u"gr\u00f6\u00dfe*10", 20},                              // German
      {u"\u00e9t\u00e9_2", u"1+\u00e9t\u00e9_2", 3},                                // accents, "_" and a digit
      {u"\u03b1\u03b2", u"\u03b1\u03b2^2", 4},                                      // Greek
      {u"\u0434\u043b\u0438\u043d\u0430", u"\u0434\u043b\u0438\u043d\u0430/2", 1},  // Cyrillic
      {u"\u9ad8\u3055", u"\u9ad8\u3055+\u9ad8\u3055", 4},                           // CJK and kana
  };
  for (const Case& c : cases) {
    defineEntry(e, c.name, u"2", false);
    EXPECT_EQ(value(c.formula), c.expected) << testing::PrintToString(Text(c.formula));
  }
  defineEntry(e, u"fl\u00e4che", u"gr\u00f6\u00dfe*gr\u00f6\u00dfe", true);  // a user function
  EXPECT_EQ(value(u"fl\u00e4che+1"), 5);
  // Signs are still not names.
  for (const char16_t* sign : {u"2\u00d73", u"2\u00b0", u"\u20ac5"}) EXPECT_NE(failure(sign), 0);
}

}  // namespace
}  // namespace quadrel
