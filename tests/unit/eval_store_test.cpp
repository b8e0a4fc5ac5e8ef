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
  // Redefinition: blanks removed, lower-cased, the count unchanged.
  EXPECT_EQ(defineEntry(e, u"x", u"1 E5", false), 1u);
  EXPECT_EQ(list(u"vars"), u"x=1e5;");
  EXPECT_EQ(value(u"x"), 100000);

  EXPECT_EQ(defineEntry(e, u"y", u"3", false), 2u);
  EXPECT_EQ(defineEntry(e, u"x", u"7", false), 2u);
  EXPECT_EQ(list(u"vars"), u"x=7;y=3;") << "a redefinition keeps its place";
  EXPECT_EQ(storeNamed(e, u"vars").listLength(), list(u"vars").size());

  // A name that ends with "=" gets no second one.
  EXPECT_EQ(defineEntry(e, u"z=", u"4", false), 3u);
  EXPECT_EQ(list(u"VARS"), u"x=7;y=3;z=4;");
  EXPECT_EQ(value(u"z"), 4);
  // The function list is separate.
  EXPECT_EQ(list(u"funcs"), u"");
  EXPECT_EQ(defineEntry(e, u"F", u"2 * X", true), 1u);
  EXPECT_EQ(list(u"funcs"), u"F=2*x;");
  EXPECT_EQ(list(u""), u"F=2*x;");
  EXPECT_EQ(storeNamed(e, u"Vars").size(), 3u);
}

TEST_F(Store, EmptyNameStoresNothing) {
  defineEntry(e, u"a", u"1", false);
  for (const char16_t* name : {u"", u"="}) {
    e.errors.code = kNoError;
    EXPECT_EQ(defineEntry(e, name, u"5", false), 1u);
    EXPECT_EQ(e.errors.code, kErrInvalidArgument);
    EXPECT_EQ(defineEntry(e, name, u"5", true), 0u);
    EXPECT_EQ(e.errors.code, kErrInvalidArgument);
  }
  EXPECT_EQ(list(u"vars"), u"a=1;");
  EXPECT_EQ(list(u"funcs"), u"");
}

TEST_F(Store, NamesMatchWhole) {
  defineEntry(e, u"ax", u"1", false);
  EXPECT_EQ(defineEntry(e, u"x", u"2", false), 2u) << "x is not found inside ax";
  EXPECT_EQ(list(u"vars"), u"ax=1;x=2;");
  ASSERT_NE(findEntry(e, u"x", false), nullptr);
  EXPECT_EQ(findEntry(e, u"x", false)->value, 2);
  EXPECT_EQ(findEntry(e, u"ax", false)->value, 1);
  EXPECT_EQ(findEntry(e, u"a", false), nullptr);
  EXPECT_EQ(findEntry(e, u"axx", false), nullptr);

  // Case matters for variables.
  EXPECT_EQ(defineEntry(e, u"X", u"5", false), 3u);
  EXPECT_EQ(value(u"X+x+ax"), 8);
  EXPECT_EQ(failure(u"AX"), kErrUndefinedFunction);
}

TEST_F(Store, LookupSetsTheCode) {
  defineEntry(e, u"v", u"1.5", false);
  defineEntry(e, u"f", u"v*2", true);
  e.errors.code = 3;
  const NamedEntry* v = findEntry(e, u"v", false);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->value, 1.5);
  EXPECT_EQ(e.errors.code, kNoError);
  EXPECT_EQ(findEntry(e, u"v=", false), v) << "a trailing = is the key's own";

  const NamedEntry* f = findEntry(e, u"f", true);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->text, u"v*2");
  EXPECT_EQ(findEntry(e, u"v", true), nullptr) << "a variable is not a function";
  EXPECT_EQ(e.errors.code, kErrNotFound);
  EXPECT_EQ(findEntry(e, u"nothing", false), nullptr);
  EXPECT_EQ(e.errors.code, kErrNotFound);
  EXPECT_EQ(findEntry(e, u"", false), nullptr);
  EXPECT_EQ(e.errors.code, kErrNotFound);
}

TEST_F(Store, VariableValuesReadTheLeadingNumber) {
  struct Stored {
    const char16_t* text;
    double value;
  };
  const Stored cases[] = {
      {u"2", 2},     {u" 3 ", 3},  {u"-1.5", -1.5}, {u"1 E5", 1e5}, {u"2.5e-3", 2.5e-3}, {u"abc", 0},
      {u"", 0},      {u"2abc", 2}, {u".5", 0.5},    {u"1,5", 1},    {u"1e-12", 1e-12},  // full precision is kept
      {u"0.1", 0.1},
  };
  for (const Stored& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    defineEntry(e, u"v", c.text, false);
    ASSERT_NE(findEntry(e, u"v", false), nullptr);
    EXPECT_EQ(findEntry(e, u"v", false)->value, c.value);
    EXPECT_EQ(value(u"v"), c.value) << "the formula sees the same value";
  }
}

TEST_F(Store, VariablesKeepFullPrecisionInFormulas) {
  setVar(u"tiny", u"1e-12");
  EXPECT_EQ(value(u"tiny"), 1e-12);
  EXPECT_EQ(value(u"tiny*1000000000000"), 1e-12 * 1e12);
  setVar(u"third", u"0.333333333333333314829616256247");
  EXPECT_EQ(value(u"third*3"), (1.0 / 3) * 3);
  setVar(u"big", u"12345678901234567890");
  EXPECT_EQ(value(u"big"), 12345678901234567890.0);
  setVar(u"neg", u"-2");
  EXPECT_EQ(value(u"neg^2"), 4) << "a variable is one operand, not a text with a sign";
  EXPECT_EQ(value(u"-neg"), 2);
  // Exact values stored directly.
  e.variables.defineNumber(u"exact", 0.1 + 0.2);
  EXPECT_EQ(value(u"exact"), 0.1 + 0.2);
}

TEST_F(Store, VariablesShadowConstantsAndFunctionsButNotReservedWords) {
  setVar(u"pi", u"3");
  EXPECT_EQ(value(u"pi"), 3);
  EXPECT_EQ(value(u"#pi"), 3.1415927410125732);
  setVar(u"sin", u"2");
  EXPECT_EQ(value(u"sin*3"), 6);
  EXPECT_EQ(failure(u"sin(0)"), kErrEvaluatorSyntax);
  setVar(u"sum", u"5");
  EXPECT_EQ(value(u"sum(1;2)"), 3);
  EXPECT_EQ(failure(u"sum+1"), kErrTokenMatch);
}

TEST_F(Store, FunctionsExpandAsBracketedBodies) {
  setFunction(u"f", u"2*x");
  setVar(u"x", u"3");
  EXPECT_EQ(value(u"f+1"), 7);
  EXPECT_EQ(value(u"F+1"), 7) << "function names ignore case";
  setFunction(u"h", u"1+1");
  EXPECT_EQ(value(u"h*3"), 6) << "the body is bracketed";
  EXPECT_EQ(value(u"-h^2"), -4);
  // Whole identifiers only.
  EXPECT_EQ(failure(u"fx"), kErrUndefinedFunction);
  EXPECT_EQ(failure(u"f_1"), kErrUndefinedFunction);
  // Not inside "#", "&" or "[...]" tokens.
  setFunction(u"pi", u"4");
  EXPECT_EQ(value(u"pi"), 4);
  EXPECT_EQ(value(u"#pi"), 3.1415927410125732);
  setFunction(u"ff", u"1");
  EXPECT_EQ(value(u"&ff"), 255);
  EXPECT_EQ(failure(u"[ff]"), kErrMatrixNotFound);
  // Decimal commas inside bodies read as points.
  setFunction(u"half", u"0,5");
  EXPECT_EQ(value(u"half*3"), 1.5);
}

TEST_F(Store, FunctionNamedLikeAPartOfABuiltIn) {
  setFunction(u"a", u"5");
  EXPECT_EQ(value(u"abs(-1)"), 1);
  EXPECT_EQ(value(u"a+abs(-2)"), 7);
  setFunction(u"s", u"10");
  EXPECT_EQ(value(u"sin(0)+s+sum(1;2)"), 13);
}

TEST_F(Store, FunctionsMayUseEachOtherInAnyOrder) {
  setVar(u"x", u"1");
  // g uses f, defined before it.
  setFunction(u"f", u"x+1");
  setFunction(u"g", u"f*2");
  EXPECT_EQ(eval(u"g", true).code, 0);
  EXPECT_EQ(value(u"g"), 4);
  EXPECT_EQ(value(u"G+F"), 6);

  // p uses q, defined after it.
  setFunction(u"p", u"q*2");
  setFunction(u"q", u"x+2");
  EXPECT_EQ(value(u"p"), 6);
  // A chain through several levels.
  setFunction(u"r", u"p+g+q");
  EXPECT_EQ(value(u"r"), 13);
  EXPECT_TRUE(log().empty());
}

TEST_F(Store, DefinitionsThatReachThemselves) {
  setFunction(u"ok", u"1");
  setFunction(u"f", u"g+1");
  setFunction(u"g", u"f*2");

  // With the check: code 1 before anything is evaluated, even for formulas
  // that do not use the cycle.
  EXPECT_EQ(failure(u"f", true), kErrAmbiguousFunction);
  EXPECT_EQ(failure(u"ok+1", true), kErrAmbiguousFunction);
  EXPECT_EQ(evaluateToValue(e, u"ok", true), 1.0);
  EXPECT_EQ(e.errors.code, kErrAmbiguousFunction);
  EXPECT_NE(
      withoutLineNumbers(log()).find(u"\r\nProcedure : 'CheckFunctions (Line: #)'\r\n"
                                     u"Error nr. : 1, Description: Ambiguous function name      (Module: eval)\r\n"
                                     u"sFuncts: ok=1;f=g+1;g=f*2;\r\nFunct: f\r\nExtended Error Info:"),
      Text::npos)
      << toUtf8(log());

  // Without the check: a formula that reaches the cycle fails the same way,
  // one that does not is fine.
  resetEvaluator(e);
  setFunction(u"ok", u"1");
  setFunction(u"f", u"g+1");
  setFunction(u"g", u"f*2");
  EXPECT_EQ(failure(u"1+g", false), kErrAmbiguousFunction);
  EXPECT_EQ(occurrences(log(), u"Procedure : 'CheckFunctions"), 1u);
  EXPECT_EQ(eval(u"ok+1", false).value, 2);

  // Breaking the cycle makes the check pass again.
  setFunction(u"g", u"3");
  EXPECT_EQ(value(u"f"), 4);
}

TEST_F(Store, SelfReference) {
  setFunction(u"f", u"f+1");
  EXPECT_EQ(failure(u"f", true), kErrAmbiguousFunction);
  EXPECT_EQ(failure(u"f", false), kErrAmbiguousFunction);
  EXPECT_NE(log().find(u"Funct: f"), Text::npos);
  // Case is ignored when a body names a function.
  setFunction(u"f", u"2");
  setFunction(u"K", u"k*2");  // bodies are stored lower-cased
  EXPECT_EQ(failure(u"f", true), kErrAmbiguousFunction);
  EXPECT_NE(log().find(u"Funct: K"), Text::npos);
}

TEST_F(Store, LongCycleAndLongChain) {
  // A cycle through many definitions and a long acyclic chain: neither may
  // exhaust the stack.
  const int n = 20000;
  for (int k = 0; k < n; ++k) setFunction(u"c" + intText(k), u"c" + intText((k + 1) % n) + u"+1");
  EXPECT_EQ(failure(u"c5", true), kErrAmbiguousFunction);
  EXPECT_EQ(failure(u"c5", false), kErrAmbiguousFunction);
  storeNamed(e, u"funcs").clear();
  for (int k = 0; k < n; ++k) setFunction(u"d" + intText(k), k + 1 < n ? u"d" + intText(k + 1) : Text(u"1"));
  // The whole chain expands into brackets nested too deep for the parser...
  EXPECT_EQ(failure(u"d0", true), kErrParserSyntax);
  // ...while its last few hundred links evaluate.
  EXPECT_EQ(value(u"d" + intText(n - 300)), 1);
}

TEST_F(Store, ExpansionThatGrowsTooLarge) {
  // Each level doubles the text: far beyond the limit of the expansion. The
  // long number keeps the work per character of the expansion small.
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
  EXPECT_EQ(storeNamed(e, u"vars").listLength(), 0u);
  EXPECT_EQ(storeNamed(e, u"funcs").listLength(), 0u);
  EXPECT_EQ(e.eval.resultType, -1);
  EXPECT_TRUE(log().empty());
  EXPECT_EQ(e.messages.showLevel, 0);
  EXPECT_EQ(failure(u"x"), kErrUndefinedFunction);
  EXPECT_EQ(failure(u"f"), kErrUndefinedFunction);
  // Clearing one list leaves the other.
  setVar(u"x", u"1");
  setFunction(u"f", u"2");
  storeNamed(e, u"vars").clear();
  EXPECT_EQ(value(u"f"), 2);
  EXPECT_EQ(storeNamed(e, u"vars").size(), 0u);
}

}  // namespace
}  // namespace quadrel
