// Operators, precedence, literals and syntax failures of the evaluator, and
// its robustness against hostile input.
#include <cmath>

#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::kUntouched;
using testing_support::repeat;

struct Case {
  const char16_t* formula;
  double expected;
};

class Arithmetic : public EngineTest {};

TEST_F(Arithmetic, OperatorsPrecedenceAndAssociativity) {
  const Case cases[] = {
      {u"1+2*3", 7},
      {u"(1+2)*3", 9},
      {u"10-2-3", 5},     // left-associative
      {u"8/4/2", 1},      // left-associative
      {u"2^3^2", 64},     // "^" is left-associative too
      {u"2*3^2", 18},     // "^" above "*"
      {u"-2^2", -4},      // unary minus below "^"
      {u"2^-1", 0.5},     // unary minus as the exponent
      {u"-2*-3", 6},      // unary minus above "*"
      {u"--2", 2},        // repeated unary minus
      {u"+3", 3},         // unary plus
      {u"-(1+2)*2", -6},  // unary minus of a bracket
      {u"7\\2", 3},
      {u"-7\\2", -3},  // integer quotient truncates toward zero
      {u"7.5\\2", 3},
      {u"7\\2*2", 1},  // "*" above "\": 7\4
      {u"7 mod 3", 1},
      {u"-7 mod 3", -1},  // the sign follows the left operand
      {u"7 mod -3", 1},
      {u"7 mod 2.9", 1},  // operands are truncated first: 7 mod 2
      {u"-7.9 mod 3", -1},
      {u"7 mod 4*2", 7},  // "*" above "mod": 7 mod 8
      {u"2*7 mod 4", 2},
      {u"7 mod 5\\2", 1},   // "\" above "mod": 7 mod 2
      {u"1+7 mod 3", 2},    // "mod" above "+"
      {u"2+3 mod 2*2", 5},  // 2 + (3 mod 4)
      {u"-2147483648 mod -1", 0},
      {u"-2147483648\\1", -2147483648.0},
      {u"4294967294\\2", 2147483647},
      {u"1.5+1.25", 2.75},
      {u"  1 +\t2\r\n", 3},  // blanks, tabs and line ends between tokens
      {u"((((3))))", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(value(c.formula), c.expected);
  }
}

TEST_F(Arithmetic, ComparisonsGiveTheTrueValue) {
  const Case cases[] = {
      {u"3>2", -1},
      {u"2>3", 0},
      {u"2<3", -1},
      {u"3<2", 0},
      {u"2<=2", -1},
      {u"3<=2", 0},
      {u"2>=2", -1},
      {u"3>=4", 0},
      {u"2<>3", -1},
      {u"2<>2", 0},
      {u"2=2", -1},
      {u"2=3", 0},
      {u"1+2=3", -1},  // "+" above
                       // comparisons
      {u"(3>2)+1", 0},
      {u"3>2>1", 0},   // (3>2) is -1, and -1>1 is false
      {u"1<2<3", -1},  // -1<3
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(value(c.formula), c.expected);
  }
}

TEST_F(Arithmetic, SetBoolSignChangesOnlyComparisons) {
  EXPECT_EQ(setBoolSign(e, 1), 0);
  EXPECT_EQ(value(u"3>2"), 1);
  EXPECT_EQ(value(u"2<>2"), 0);
  EXPECT_EQ(value(u"1 and 2"), 1);
  EXPECT_EQ(value(u"not 0"), -1);  // a bitwise complement, not a truth value

  // Any other value is ignored.
  for (int32_t bad : {5, 0, -2, 2}) {
    EXPECT_EQ(setBoolSign(e, bad), 0);
    EXPECT_EQ(value(u"3>2"), 1) << "after SetBoolSign(" << bad << ")";
  }
  EXPECT_EQ(setBoolSign(e, -1), 0);
  EXPECT_EQ(value(u"3>2"), -1);
  EXPECT_EQ(setBoolSign(e, 7), 0);
  EXPECT_EQ(value(u"3>2"), -1);
}

TEST_F(Arithmetic, LogicalWords) {
  const Case cases[] = {
      {u"1 and 2", 1},
      {u"0 and 1", 0},
      {u"0 or 2", 1},
      {u"0 or 0", 0},
      {u"1 xor 1", 0},
      {u"1 xor 0", 1},
      {u"-0.5 and 3", 1},    // any non-zero value counts as true
      {u"1 or 0 and 0", 1},  // "and" above "or"
      {u"1 xor 1 or 1", 0},  // "or" above "xor": 1 xor (1 or 1)
      {u"2>1 and 3>2", 1},   // comparisons above "and"
      {u"not 0", -1},
      {u"not 1", -2},
      {u"not -1", 0},
      {u"not 1.9", -2},    // truncated to an integer first
      {u"not 1 = 2", -1},  // not (1 = 2)
      {u"not 2147483647", -2147483648.0},
      {u"not -2147483648", 2147483647},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(value(c.formula), c.expected);
  }
}

TEST_F(Arithmetic, HexadecimalAndBinaryLiterals) {
  const Case cases[] = {
      {u"&FF", 255},
      {u"&ff", 255},
      {u"&10+1", 17},
      {u"&", 0},                   // no digits
      {u"&FG", 15},                // only the leading hexadecimal digits count
      {u"&FFFFFFFFFFFFFFFF", -1},  // 64 bits, wrapping
      {u"&10000000000000000", 0},
      {u"!101", 5},
      {u"!1111", 15},
      {u"!0", 0},
      {u"!", 0},
      {u"!102", 0},  // a digit other than 0 and 1 makes the value 0
      {u"!10*2", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(value(c.formula), c.expected);
  }
}

TEST_F(Arithmetic, NumberTokens) {
  const Case cases[] = {
      {u"1,5+1", 2.5},  // decimal comma
      {u"1.2.3", 1.2},  // one token; a second point ends the number
      {u".5", 0.5},    {u".", 0}, {u"007", 7}, {u"1.", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(value(c.formula), c.expected);
  }
  // There is no exponent syntax: 1e5 is the number 1 followed by the name e5.
  EXPECT_EQ(failure(u"1e5"), kErrUndefinedFunction);
}

TEST_F(Arithmetic, SyntaxFailures) {
  struct Failure {
    const char16_t* formula;
    int32_t code;
  };
  const Failure cases[] = {
      {u"2(3)", kErrEvaluatorSyntax},  // input left over
      {u"1)", kErrEvaluatorSyntax},
      {u"1 2", kErrEvaluatorSyntax},
      {u"1>>2", kErrEvaluatorSyntax},     // a token without an operator
      {u"1=<2", kErrParserSyntax},        // "=" and then "<"
      {u"1 eqv 1", kErrEvaluatorSyntax},  // reserved words without an operator
      {u"1 imp 0", kErrEvaluatorSyntax},
      {u"", kErrParserSyntax},
      {u"   ", kErrParserSyntax},
      {u"1+", kErrParserSyntax},
      {u"*2", kErrParserSyntax},
      {u")", kErrParserSyntax},
      {u"eqv", kErrParserSyntax},
      {u"mod 2", kErrParserSyntax},
      {u"()", kErrParserSyntax},
      {u"(1+2", kErrTokenMatch},
      {u"((1)", kErrTokenMatch},
      {u"sin 1", kErrTokenMatch},
      {u"sin", kErrTokenMatch},
      {u"1/0", kErrDivisionByZero},
      {u"0/0", kErrDivisionByZero},
      {u"1/(1-1)", kErrDivisionByZero},
      {u"5 mod 0", kErrDivisionByZero},
      {u"5 mod 0.5", kErrDivisionByZero},  // the divisor truncates to 0
      {u"5\\0", kErrDivisionByZero},
      {u"10^400", kErrDivisionByZero},  // a positive infinite result
      {u"5000000000 mod 3", kErrInvalidArgument},
      {u"3 mod 5000000000", kErrInvalidArgument},
      {u"-3000000000 mod 3", kErrInvalidArgument},
      {u"5000000000\\1", kErrInvalidArgument},
      {u"4294967296\\2", kErrInvalidArgument},  // quotient 2^31 does not fit
      {u"1\\0.0000000001", kErrInvalidArgument},
      {u"not 3000000000", kErrInvalidArgument},
      {u"not -3000000000", kErrInvalidArgument},
  };
  for (const Failure& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(failure(c.formula), c.code);
    EXPECT_EQ(e.errors.code, c.code);
  }
}

TEST_F(Arithmetic, OnlyPositiveInfinityFailsAnEvaluation) {
  testing_support::Outcome o = eval(u"-10^400");
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.value, -HUGE_VAL);
}

TEST_F(Arithmetic, FirstFailureStands) {
  // The division fails after its right operand was read, and that read
  // already reported the unknown name: the earlier code stays.
  EXPECT_EQ(failure(u"sin(1/0 foo)"), kErrUndefinedFunction);
  // A failed argument stays failed after the function is applied.
  EXPECT_EQ(failure(u"sin(1/0)"), kErrDivisionByZero);
  EXPECT_EQ(failure(u"ln(1/0)"), kErrDivisionByZero);
  EXPECT_EQ(failure(u"abs(5 mod 0)+1"), kErrDivisionByZero);
}

TEST_F(Arithmetic, EachEvaluationStartsClean) {
  EXPECT_EQ(failure(u"1/0"), kErrDivisionByZero);
  EXPECT_EQ(value(u"1+1"), 2);
  EXPECT_EQ(e.errors.code, kNoError);
  EXPECT_EQ(e.eval.resultType, 0);
}

TEST_F(Arithmetic, ValueEntryGivesTheCodeAsValue) {
  EXPECT_EQ(evaluateToValue(e, u"1+2", true), 3);
  EXPECT_EQ(e.errors.code, kNoError);
  EXPECT_EQ(evaluateToValue(e, u"1/0", true), 8.0);
  EXPECT_EQ(evaluateToValue(e, u"", true), 3.0);
  // It has no infinity check.
  EXPECT_EQ(evaluateToValue(e, u"10^400", true), HUGE_VAL);
  EXPECT_EQ(e.errors.code, kNoError);

  // Input left over: the report names the entry and the token type.
  e.errors.log.clear();
  EXPECT_EQ(evaluateToValue(e, u"2(3)", true), 2.0);
  EXPECT_NE(log().find(u"Procedure : 'de_eval (Line: "), Text::npos);
  EXPECT_NE(log().find(u"e_tok = (\r\nExtended Error Info:"), Text::npos);
}

TEST_F(Arithmetic, LongFlatFormulas) {
  // About one megabyte of "1+": operators at one level do not nest.
  const size_t terms = 500000;
  Text formula = repeat(u"1+", terms);
  EXPECT_EQ(failure(formula), kErrParserSyntax);
  formula.push_back(u'1');
  EXPECT_EQ(value(formula), double(terms + 1));
  EXPECT_EQ(value(repeat(u"10-", 100000) + u"0"), 10.0 - 10.0 * 99999);  // left-associative all the way
}

TEST_F(Arithmetic, DeepNestingFailsWithParserSyntax) {
  const size_t deep = 100000;
  EXPECT_EQ(failure(repeat(u"(", deep) + u"1" + repeat(u")", deep)), kErrParserSyntax);
  EXPECT_EQ(failure(repeat(u"-", deep) + u"1"), kErrParserSyntax);
  EXPECT_EQ(failure(repeat(u"+", deep) + u"1"), kErrParserSyntax);
  EXPECT_EQ(failure(repeat(u"not ", deep) + u"1"), kErrParserSyntax);
  EXPECT_EQ(failure(repeat(u"abs(", deep) + u"1" + repeat(u")", deep)), kErrParserSyntax);
  EXPECT_EQ(failure(repeat(u"sum(1;", deep) + u"1" + repeat(u")", deep)), kErrParserSyntax);
  EXPECT_EQ(failure(repeat(u"2^-", deep) + u"1"), kErrParserSyntax);
  // Unbalanced deep openings only.
  EXPECT_EQ(failure(repeat(u"(", deep)), kErrParserSyntax);

  // Moderate nesting still works, and the engine is usable afterwards.
  EXPECT_EQ(value(repeat(u"(", 400) + u"2" + repeat(u")", 400)), 2);
  EXPECT_EQ(value(repeat(u"-", 400) + u"2"), 2);
  EXPECT_EQ(value(repeat(u"abs(", 300) + u"-2" + repeat(u")", 300)), 2);
}

TEST_F(Arithmetic, HostileCharactersGiveCodes) {
  struct Failure {
    Text formula;
    int32_t code;
  };
  const Failure cases[] = {
      {Text(u"1\x01+2"), kErrEvaluatorSyntax},  // control character after an operand
      {Text(u"\x01"), kErrParserSyntax},
      {Text(u"1+\x7f"), kErrParserSyntax},
      {Text(u"1+", 2) + char16_t(0) + u"2", kErrParserSyntax},  // an embedded zero
      {Text(1, char16_t(0)), kErrParserSyntax},
      {Text(u"1+\u03c0"), kErrParserSyntax},  // a Greek letter is not an identifier
      {Text(u"\u00e9t\u00e9"), kErrParserSyntax},
      {Text(u"2*\U0001F600"), kErrParserSyntax},      // a surrogate pair
      {Text(1, char16_t(0xD800)), kErrParserSyntax},  // a lone surrogate
      {Text(u"1\uFEFF"), kErrEvaluatorSyntax},
      {Text(u"2;3"), kErrEvaluatorSyntax},
      {Text(u"'comment"), kErrParserSyntax},
      {Text(u"1 ? 2"), kErrEvaluatorSyntax},
      {Text(u"]"), kErrParserSyntax},
      {Text(u"1)))))"), kErrEvaluatorSyntax},
      {Text(u"(((((1"), kErrTokenMatch},
      {Text(u"sum(1;2"), kErrTokenMatch},
      {Text(u"sum(1 2)"), kErrTokenMatch},
      {Text(u"sum()"), kErrParserSyntax},
      {Text(u"sum(1;)"), kErrParserSyntax},
  };
  for (const Failure& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    EXPECT_EQ(failure(c.formula), c.code);
  }
}

TEST_F(Arithmetic, MatrixNamesAreNotFound) {
  // There is no matrix store yet: every matrix name is missing.
  for (const char16_t* formula :
       {u"[mA]", u"[mA]T*2", u"2*[m]", u"-[m]", u"[", u"[abc", u"1+[abc", u"sin([m])", u"det([m])", u"[m]i"}) {
    SCOPED_TRACE(toUtf8(formula));
    EXPECT_EQ(failure(formula), kErrMatrixNotFound);
  }
}

TEST_F(Arithmetic, ResultIsWrittenOnlyOnSuccess) {
  double r = kUntouched;
  EXPECT_EQ(evaluate(e, u"2*(3", &r, false), kErrTokenMatch);
  EXPECT_EQ(r, kUntouched);
  EXPECT_EQ(evaluate(e, u"2*3", &r, false), 0);
  EXPECT_EQ(r, 6);
  // A null result pointer is allowed.
  EXPECT_EQ(evaluate(e, u"2*3", nullptr, false), 0);
}

}  // namespace
}  // namespace quadrel
