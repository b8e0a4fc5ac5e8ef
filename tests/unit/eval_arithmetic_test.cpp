// Operators, precedence, literals and syntax failures of the evaluator, and
// its robustness against hostile input.
#include <cmath>

#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::repeat;

struct Case {
  const char16_t* formula;
  double expected;
};

struct Failure {
  Text formula;
  int32_t code;
};

class Arithmetic : public EngineTest {
 protected:
  void expectValues(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(value(c.formula), c.expected) << toUtf8(c.formula);
  }
  void expectFailures(std::initializer_list<Failure> cases) {
    for (const Failure& c : cases) EXPECT_EQ(failure(c.formula), c.code) << toUtf8(c.formula);
  }
};

TEST_F(Arithmetic, OperatorsPrecedenceAndAssociativity) {
  expectValues({
      {u"1+2*3", 7},
      {u"(1+2)*3", 9},
      {u"10-2-3", 5},
      {u"8/4/2", 1},
      {u"2^3^2", 64},  // "^" is left-associative too
      {u"2*3^2", 18},
      {u"-2^2", -4},
      {u"2^-1", 0.5},
      {u"-2*-3", 6},
      {u"--2", 2},
      {u"+3", 3},
      {u"7\\2", 3},
      {u"-7\\2", -3},
      {u"7.5\\2", 3},
      {u"7\\2*2", 1},  // "*" above "\": 7\4
      {u"7 mod 3", 1},
      {u"-7 mod 3", -1},  // the sign follows the left operand
      {u"7 mod 2.9", 1},  // operands are truncated first
      {u"7 mod 4*2", 7},
      {u"7 mod 5\\2", 1},
      {u"1+7 mod 3", 2},  // "*" > "\" > "mod" > "+"
      {u"-2147483648 mod -1", 0},
      {u"4294967294\\2", 2147483647},
      {u"  1 +\t2\r\n", 3},  // blanks, tabs and line ends between tokens
      {u"1,5+1", 2.5},       // decimal comma
      {u"1.5e3", 1500},      // scientific notation
      {u"2E-3", 0.002},
      {u"6,02e23", 6.02e23},  // decimal comma with an exponent
      {u"1.e2+.5E+1", 105},
      {u".5", 0.5},
      {u".", 0},
  });
}

TEST_F(Arithmetic, ComparisonsAndLogicalWords) {
  expectValues({
      {u"3>2", -1},
      {u"2>3", 0},
      {u"2<=2", -1},
      {u"3>=4", 0},
      {u"2<>3", -1},
      {u"2=3", 0},
      {u"1+2=3", -1},
      {u"3>2>1", 0},  // -1>1
      {u"1 and 2", 1},
      {u"0 and 1", 0},
      {u"0 or 2", 1},
      {u"1 xor 1", 0},
      {u"-0.5 and 3", 1},    // any non-zero value counts as true
      {u"1 or 0 and 0", 1},  // "and" above "or"
      {u"1 xor 1 or 1", 0},  // "or" above "xor"
      {u"2>1 and 3>2", 1},   // comparisons above "and"
      {u"not 0", -1},
      {u"not 1", -2},
      {u"not 1.9", -2},
      {u"not 1 = 2", -1},  // not (1 = 2)
      {u"not -2147483648", 2147483647},
  });
}

TEST_F(Arithmetic, SetBoolSignChangesOnlyComparisons) {
  EXPECT_EQ(setBoolSign(e, 1), 0);
  EXPECT_EQ(value(u"3>2"), 1);
  EXPECT_EQ(value(u"not 0"), -1);  // a bitwise complement, not a truth value
  for (int32_t ignored : {5, 0, -2}) EXPECT_EQ(setBoolSign(e, ignored), 0);
  EXPECT_EQ(value(u"3>2"), 1);
  setBoolSign(e, -1);
  EXPECT_EQ(value(u"3>2"), -1);
}

TEST_F(Arithmetic, HexadecimalAndBinaryLiterals) {
  expectValues({
      {u"&FF", 255},
      {u"&ff+1", 256},
      {u"&1E3", 483},              // hexadecimal digits, no exponent
      {u"&FFFFFFFFFFFFFFFF", -1},  // 64 bits, wrapping
      {u"!101", 5},
  });
  // A literal is read whole or refused: the malformed token is a syntax error.
  expectFailures({
      {u"&", kErrParserSyntax},
      {u"&FG", kErrParserSyntax},
      {u"&H10", kErrParserSyntax},
      {u"&G1", kErrParserSyntax},
      {u"!", kErrParserSyntax},
      {u"!2", kErrParserSyntax},
      {u"!102", kErrParserSyntax},
  });
}

TEST_F(Arithmetic, FailureCodes) {
  expectFailures({
      {u"2(3)", kErrEvaluatorSyntax},  // input left over
      {u"1 2", kErrEvaluatorSyntax},
      {u"1>>2", kErrEvaluatorSyntax},
      {u"1 eqv 1", kErrEvaluatorSyntax},   // reserved words without an operator
      {u"1e", kErrEvaluatorSyntax},        // no exponent digits: the number 1, then the constant e
      {u"1.2.3", kErrParserSyntax},        // a second decimal point
      {u"1,000,000*2", kErrParserSyntax},  // commas are decimal commas
      {u"max(1,2,3)", kErrParserSyntax},
      {u"1e400", kErrParserSyntax},  // too large for a double
      {u"-1e400", kErrParserSyntax},
      {u"", kErrParserSyntax},
      {u"1+", kErrParserSyntax},
      {u")", kErrParserSyntax},
      {u"1=<2", kErrParserSyntax},  // "=" and then "<"
      {u"mod 2", kErrParserSyntax},
      {u"(1+2", kErrTokenMatch},
      {u"sin 1", kErrTokenMatch},
      {u"1/0", kErrDivisionByZero},
      {u"5 mod 0.5", kErrDivisionByZero},  // the divisor truncates to 0
      {u"5\\0", kErrDivisionByZero},
      {u"10^400", kErrDivisionByZero},  // a positive infinite result
      {u"5000000000 mod 3", kErrInvalidArgument},
      {u"3 mod -5000000000", kErrInvalidArgument},
      {u"4294967296\\2", kErrInvalidArgument},  // quotient 2^31 does not fit
      {u"not 3000000000", kErrInvalidArgument},
      {u"[mA]T*2", kErrMatrixNotFound},  // no matrix store yet: every name is missing
      {u"[abc", kErrMatrixNotFound},
      {u"sin([m])", kErrMatrixNotFound},
  });
  // Only a positive infinity fails.
  EXPECT_EQ(eval(u"-10^400").value, -HUGE_VAL);
  // A null result pointer is allowed.
  EXPECT_EQ(evalAnswer(evaluate(e, u"2*3", false), nullptr), 0);
}

TEST_F(Arithmetic, FirstFailureStands) {
  // The division fails after its right operand was read, and that read
  // already reported the unknown name.
  EXPECT_EQ(failure(u"sin(1/0 foo)"), kErrUndefinedFunction);
  // A failed argument stays failed after the function is applied.
  EXPECT_EQ(failure(u"sin(1/0)"), kErrDivisionByZero);
  EXPECT_EQ(failure(u"ln(1/0)"), kErrDivisionByZero);
  // The next evaluation starts clean.
  EXPECT_EQ(value(u"1+1"), 2);
  EXPECT_EQ(e.errors.code, kNoError);
}

TEST_F(Arithmetic, ValueEntryGivesTheCodeAsValue) {
  EXPECT_EQ(deEval(u"1+2", true), 3);
  EXPECT_EQ(deEval(u"1/0", true), 8.0);
  EXPECT_EQ(deEval(u"10^400", true), HUGE_VAL) << "no infinity check";
  EXPECT_EQ(e.errors.code, kNoError);
  EXPECT_EQ(deEval(u"2(3)", true), 2.0);
  EXPECT_NE(log().find(u"Procedure : 'de_eval (Line: "), Text::npos);
  EXPECT_NE(log().find(u"e_tok = (\r\nExtended Error Info:"), Text::npos);
}

TEST_F(Arithmetic, LongFlatFormulas) {
  // About one megabyte of "1+": operators of one level do not nest.
  const size_t terms = 500000;
  Text formula = repeat(u"1+", terms);
  EXPECT_EQ(failure(formula), kErrParserSyntax);
  formula.push_back(u'1');
  EXPECT_EQ(value(formula), double(terms + 1));
  EXPECT_EQ(value(repeat(u"10-", 100000) + u"0"), 10.0 - 10.0 * 99999);
}

TEST_F(Arithmetic, DeepNestingFailsWithParserSyntax) {
  const size_t deep = 100000;
  expectFailures({
      {repeat(u"(", deep) + u"1" + repeat(u")", deep), kErrParserSyntax},
      {repeat(u"-", deep) + u"1", kErrParserSyntax},
      {repeat(u"not ", deep) + u"1", kErrParserSyntax},
      {repeat(u"abs(", deep) + u"1" + repeat(u")", deep), kErrParserSyntax},
      {repeat(u"sum(1;", deep) + u"1" + repeat(u")", deep), kErrParserSyntax},
      {repeat(u"2^-", deep) + u"1", kErrParserSyntax},
  });
  // Moderate nesting still works afterwards.
  EXPECT_EQ(value(repeat(u"(", 400) + u"2" + repeat(u")", 400)), 2);
  EXPECT_EQ(value(repeat(u"-", 400) + u"2"), 2);
}

TEST_F(Arithmetic, HostileCharactersGiveCodes) {
  expectFailures({
      {u"1\x01+2", kErrEvaluatorSyntax},  // a control character after an operand
      {u"\x7f", kErrParserSyntax},
      {Text(u"1+", 2) + char16_t(0) + u"2", kErrParserSyntax},  // an embedded zero
      {u"1+\u03c0", kErrUndefinedFunction},                     // a Greek letter: an unknown name
      {u"1+\u00b0", kErrParserSyntax},                          // a sign: no identifier
      {u"2*\U0001F600", kErrParserSyntax},                      // a surrogate pair
      {Text(1, char16_t(0xD800)), kErrParserSyntax},            // a lone surrogate
      {u"1\uFEFF", kErrEvaluatorSyntax},
      {u"1)))))", kErrEvaluatorSyntax},
      {u"(((((1", kErrTokenMatch},
      {u"sum(1 2)", kErrTokenMatch},
      {u"sum(1;)", kErrParserSyntax},
  });
}

}  // namespace
}  // namespace quadrel
