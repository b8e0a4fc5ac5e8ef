// Built-in functions (double precision), their domain failures and reports,
// named constants, the exported constant lookup and the aggregates.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "core/eval/builtins.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;
using testing_support::occurrences;
using testing_support::repeat;

class Builtins : public EngineTest {};

struct Exact {
  const char16_t* formula;
  double expected;
};

TEST_F(Builtins, ExactResults) {
  const Exact cases[] = {
      {u"sin(1)", 0.8414709848078965},  // double precision
      {u"exp(1)", 2.718281828459045},
      {u"sqrt(2)", 1.4142135623730951},
      {u"sqr(2)", 1.4142135623730951},
      {u"abs(0.1)", 0.1},  // the argument keeps all its digits
      {u"cosh(0)", 1},
      {u"tanh(0)", 0},
      {u"sech(0)", 1},
      {u"fix(-2.7)", -2},
      {u"int(-2.7)", -2},
      {u"int(2000000000)", 2000000000},
      {u"sgn(-3)", -1},
      {u"sgn(0)", 0},
      {u"log10(1000)", 3},
      {u"SIN(0)", 0},  // names ignore case
      {u"2*Abs(-3)+1", 7},
  };
  for (const Exact& c : cases) EXPECT_EQ(value(c.formula), c.expected) << toUtf8(c.formula);
}

TEST_F(Builtins, ValuesCloseToTheMathematicalOnes) {
  const double pi = 3.141592653589793;
  const Exact cases[] = {
      {u"atn(1)", pi / 4},
      {u"cotan(1)", 1 / std::tan(1.0)},
      {u"cosec(1)", 1 / std::sin(1.0)},
      {u"ln(10)", std::log(10.0)},
      {u"arcsin(-0.5)", -pi / 6},
      {u"arccos(0.5)", pi / 3},
      {u"arccotan(1)", 3 * pi / 4},
      {u"arcsec(-2)", std::atan(-2 / std::sqrt(3.0)) - pi / 2},
      {u"arccosec(-2)", std::atan(-2 / std::sqrt(3.0)) - pi},
      {u"sinh(1)", std::sinh(1.0)},
      {u"cotanh(1)", 1 / std::tanh(1.0)},
      {u"arctanh(0.5)", std::atanh(0.5)},
      {u"arccosh(2)", std::acosh(2.0)},
      {u"arcsech(0.5)", std::acosh(2.0)},
      {u"arccosech(-1)", -std::asinh(1.0)},
      {u"arccotanh(2)", std::atanh(0.5)},
  };
  for (const Exact& c : cases) {
    const double v = value(c.formula);
    EXPECT_NEAR(v, c.expected, 1e-14 * std::max(1.0, std::fabs(c.expected))) << toUtf8(c.formula);
  }
}

TEST_F(Builtins, DomainFailuresAndTheirReports) {
  const struct {
    const char16_t* formula;
    const char16_t* extra;  // the report's extra text
  } cases[] = {
      {u"ln(-1)", u"Invalid Argument = -1.0000000000\r\n"},
      {u"sqr(-0.5)", u"Invalid Argument = -0.5000000000\r\n"},
      {u"arcsin(1)", u"Invalid Argument = 1.0000000000 and (-arg^2 + 1) => 0.0000000000\r\n"},
      {u"arccos(2)", u"Invalid Argument = 2.0000000000 and (-arg^2 + 1) => -3.0000000000\r\n"},
      {u"arcsec(0.5)", u"Invalid Argument = 0.5000000000 and (arg^2 - 1) => -0.7500000000\r\n"},
      // A negative infinite value names the numerator and denominator formed.
      {u"ln(0)", u"Invalid Argument: Numerator= 0.0000000000, Denominator= 0.0000000000\r\n"},
      {u"arccotanh(-1)", u"Invalid Argument: Numerator= 0.0000000000, Denominator= -2.0000000000\r\n"},
      // Values beyond 32 bits.
      {u"int(-3000000000)", u"Invalid Argument = -3000000000.0000000000\r\n"},
      {u"int(2147483648)", u"Invalid Argument = 2147483648.0000000000\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.formula));
    resetEvaluator(e);
    EXPECT_EQ(failure(c.formula), kErrInvalidArgument);
    EXPECT_EQ(occurrences(log(), u"\r\nProcedure : '"), 1u);
    EXPECT_NE(log().find(u"\r\nProcedure : 'e_function (Line: "), Text::npos);
    const Text extra = Text(c.extra) + u"\r\nExtended Error Info:\r\n";
    EXPECT_EQ(e.errors.extendedInfo.substr(0, extra.size()), extra);
  }
  // A NaN without code (stddev of one value) does not pass int either.
  EXPECT_EQ(failure(u"int(stddev(5))"), kErrInvalidArgument);
  // A positive infinite value is the entry's division by zero.
  for (const char16_t* formula : {u"cosec(0)", u"cotanh(0)", u"exp(1000)"})
    EXPECT_EQ(failure(formula), kErrDivisionByZero) << toUtf8(formula);
}

TEST_F(Builtins, UnknownNames) {
  EXPECT_EQ(failure(u"foo(1)"), kErrUndefinedFunction);
  EXPECT_NE(log().find(u"Undefined Function = foo\r\n\r\nExtended Error Info:"), Text::npos);
  // The probe of a known name leaves no code; the bracket is missing.
  resetEvaluator(e);
  EXPECT_EQ(failure(u"sin"), kErrTokenMatch);
  EXPECT_EQ(log().find(u"e_function"), Text::npos);
  EXPECT_NE(log().find(u"Expected (, got ''\r\n"), Text::npos);

  for (const char16_t* formula : {u"SUM(1;2)", u"#", u"#2pi", u"#sin"})
    EXPECT_EQ(failure(formula), kErrUndefinedFunction) << toUtf8(formula);
  EXPECT_EQ(failure(u"deg(1)"), kErrEvaluatorSyntax) << "a constant cannot be called";
}

TEST_F(Builtins, RndDrawsIntegersInItsRange) {
  const struct {
    const char16_t* formula;
    double low, high;
  } ranges[] = {{u"rnd(10)", 0, 10},
                {u"rnd(-5)", -5, 0},
                {u"rnd(2.5)", 0, 2},  // ties round to even
                {u"rnd(3.5)", 0, 4},
                {u"rnd(0.4)", 0, 0}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(toUtf8(r.formula));
    std::set<double> seen;
    for (int k = 0; k < 2000; ++k) {
      const double v = value(r.formula);
      ASSERT_EQ(v, std::trunc(v));
      ASSERT_GE(v, r.low);
      ASSERT_LE(v, r.high);
      seen.insert(v);
    }
    // Every value of such a small range turns up in 2000 draws.
    EXPECT_EQ(seen.size(), size_t(r.high - r.low + 1));
  }
}

TEST_F(Builtins, NamedConstants) {
  const Exact cases[] = {
      // "#" names and plain names: full doubles.
      {u"#pi", 3.141592653589793},     {u"#E", 2.718281828459045},        {u"#to_deg", 57.29577951308232},
      {u"#rad", 0.017453292519943295}, {u"pi", 3.141592653589793},        {u"E", 2.718281828459045},
      {u"deg", 57.29577951308232},     {u"to_rad", 0.017453292519943295},
  };
  for (const Exact& c : cases) EXPECT_EQ(value(c.formula), c.expected) << toUtf8(c.formula);
  EXPECT_EQ(failure(u"2pi"), kErrEvaluatorSyntax) << "the number 2, then pi";
}

TEST_F(Builtins, ConstantLookup) {
  const struct {
    const char16_t* name;
    double value;
    const char16_t* element;
  } cases[] = {
      {u"PI", 3.1415926536, u"3.1415926536"},  {u"#2pi", 6.2831853072, u"6.2831853072"},
      {u"e", 2.7182818285, u"2.7182818285"},   {u"#to_deg", 57.2957795131, u"57.2957795131"},
      {u"rad", 0.0174532925, u"0.0174532925"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.name));
    double r = 0;
    EXPECT_EQ(getConstant(e, c.name, &r), 1);
    EXPECT_EQ(r, c.value);
    EXPECT_EQ(e.errors.code, kNoError);
    // The constant's text becomes the lexer's current element.
    EXPECT_EQ(Text(e.lexer.element()), Text(c.element));
  }
  EXPECT_EQ(getConstant(e, u"pi", nullptr), 1);
  for (const char16_t* name : {u"nope", u"", u"#", u"sin", u"pipipipipipipipipipi"}) {
    double r = -5;
    EXPECT_EQ(getConstant(e, name, &r), 0);
    EXPECT_EQ(r, -5);
    EXPECT_EQ(e.errors.code, kErrUndefinedConstant);
  }
  EXPECT_TRUE(log().empty()) << "a failed lookup appends no report";
}

TEST_F(Builtins, Aggregates) {
  const Exact cases[] = {
      {u"max(3;7;5)", 7},
      {u"min(5)", 5},
      {u"count(1;2;3)", 3},
      {u"median(5)", 5},
      {u"median(4;1;3;2)", 2.5},
      {u"median(7;3;11;1;9;5;2;10;4;8;6)", 6},
      {u"stddev(2;4;4;4;5;5;7;9)", 2.138089935299395},
      {u"sum(1,2)", 1.2},  // a decimal comma, so one value
      {u"sum2(1;2;3)", 14},
      {u"prod(2;3;4)", 24},
      {u"prod2(2;3)", 36},
      {u"avg(1;2;3;4)", 2.5},
      {u"mean(1;2)", 1.5},
      {u"geom_mean(2;8)", 4},
      {u"max(1+1;2*3;-1)", 6},
      {u"sum(count(1;1;1);median(1;sum(2;3);9))", 8},  // nested lists
  };
  for (const Exact& c : cases) EXPECT_DOUBLE_EQ(value(c.formula), c.expected) << toUtf8(c.formula);
  EXPECT_EQ(value(u"count(" + repeat(u"1;", 5000) + u"1)"), 5001);
  testing_support::Outcome o = eval(u"stddev(5)");
  EXPECT_EQ(o.code, 0);
  EXPECT_TRUE(std::isnan(o.value)) << "NaN without a code";
}

}  // namespace
}  // namespace quadrel

namespace quadrel {
namespace {

// Every one-argument row in double precision: the rows that are a function of
// the C library agree with it to 1 ulp at arguments over their domains.
TEST_F(Builtins, RowsOfTheCLibraryToOneUlp) {
  const struct {
    const char16_t* name;
    double (*f)(double);
    std::vector<double> args;
  } rows[] = {
      {u"sin", [](double x) { return std::sin(x); }, {-1e6, -3.5, -1e-8, 0.5, 1, 123456.789, 1e15}},
      {u"cos", [](double x) { return std::cos(x); }, {-1e6, -3.5, 0, 0.5, 2, 123456.789}},
      {u"tan", [](double x) { return std::tan(x); }, {-1.5, -0.3, 0.7, 1.5, 1000}},
      {u"atan", [](double x) { return std::atan(x); }, {-1e300, -2, 0.25, 7, 1e10}},
      {u"exp", [](double x) { return std::exp(x); }, {-700, -20, -1e-9, 1, 20, 89, 700}},
      {u"ln", [](double x) { return std::log(x); }, {1e-300, 0.5, 1, 10, 1e39, 1e300}},
      {u"log10", [](double x) { return std::log10(x); }, {1e-300, 0.5, 2, 12345, 1e300}},
      {u"sqrt", [](double x) { return std::sqrt(x); }, {0, 1e-300, 2, 10, 1e40, 1e300}},
      {u"sinh", [](double x) { return std::sinh(x); }, {-700, -2, -1e-10, 0.5, 3, 700}},
      {u"cosh", [](double x) { return std::cosh(x); }, {-700, -2, 0, 0.5, 3, 700}},
      {u"tanh", [](double x) { return std::tanh(x); }, {-1000, -2, 1e-10, 0.5, 3, 1000}},
      {u"arcsinh", [](double x) { return std::asinh(x); }, {-1e200, -1e10, -2, 0.5, 1e10, 1e200}},
      {u"arccosh", [](double x) { return std::acosh(x); }, {1, 1.5, 10, 1e200}},
      {u"arcsin", [](double x) { return std::asin(x); }, {-0.999, -0.5, 1e-9, 0.5, 0.9}},
      {u"arccos", [](double x) { return std::acos(x); }, {-0.999, -0.5, 0, 0.5, 0.9}},
  };
  for (const auto& row : rows) {
    for (double x : row.args) {
      SCOPED_TRACE(toUtf8(row.name) + "(" + std::to_string(x) + ")");
      const double expected = row.f(x);
      const double got = applyFunction(e, findFunction(row.name), x);
      EXPECT_LE(std::fabs(got - expected), std::fabs(std::nextafter(expected, 0.0) - expected));
    }
  }
}

// Values that overflowed the single-precision rows are now numbers, and the
// composed rows keep their formulas in double precision.
TEST_F(Builtins, LargeArgumentsAndComposedRows) {
  const Exact numbers[] = {
      {u"sqrt(10^40)", 1e20},
      {u"exp(89)", std::exp(89.0)},
      {u"ln(10^39)", std::log(1e39)},
      {u"exp(20)", std::exp(20.0)},
      {u"sin(123456.789)", std::sin(123456.789)},
      {u"pi*10^10", 3.141592653589793 * 1e10},
      {u"sec(1)", 1 / std::cos(1.0)},
      {u"arccotanh(3)", std::log(4.0 / 2.0) / 2},
      {u"arcsech(0.6)", std::log((std::sqrt(1 - 0.36) + 1) / 0.6)},
      {u"int(2147483647)", 2147483647},
      {u"#e", std::exp(1.0)},
  };
  for (const Exact& c : numbers) EXPECT_EQ(value(c.formula), c.expected) << toUtf8(c.formula);
  // Still too large for a double: an error, never a wrong number.
  EXPECT_EQ(failure(u"exp(710)"), kErrDivisionByZero);
  EXPECT_EQ(failure(u"ln(0)"), kErrInvalidArgument);
  EXPECT_EQ(failure(u"sqrt(-1e-300)"), kErrInvalidArgument);
}

}  // namespace
}  // namespace quadrel
