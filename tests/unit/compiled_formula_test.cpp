// The compiled form of a sampled formula against its definition, the text
// substitution of each abscissa: bit-identical values, the same codes, the
// same error log and the same evaluator state, for generated formulas.
#include "core/eval/compiled_formula.h"

#include <bit>
#include <cstring>
#include <random>

#include "engine_fixture.h"

namespace quadrel {
namespace {

using testing_support::EngineTest;

uint64_t bits(double v) { return std::bit_cast<uint64_t>(v); }

// The double the evaluator reads from the substitution text itself.
double readByEvaluator(Engine& e, double x) {
  const EvalOutcome outcome = evaluate(e, abscissaText(x), false);
  EXPECT_TRUE(outcome.ok() && outcome.isNumber()) << toUtf8(abscissaText(x));
  return outcome.value;
}

class CompiledFormulaTest : public EngineTest {};

TEST_F(CompiledFormulaTest, AbscissaIsTheDoubleTheTextReadsAs) {
  std::mt19937_64 rng(12345);
  std::vector<double> xs = {0.0, -0.0, 1e-11, -1e-11, 5e-11, -5e-11, 0.5, -0.25, 3, 399999.99999999994, -1e-300};
  // Exact ties at the tenth decimal (k / 2^11 has eleven) and their neighbours.
  for (int k = -4096; k <= 4096; ++k) {
    const double t = std::ldexp(double(k), -11);
    xs.push_back(t);
    xs.push_back(std::nextafter(t, 1.0));
    xs.push_back(std::nextafter(t, -1.0));
  }
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 20000; ++i) {
    const double scale = std::pow(10.0, double(int(rng() % 20)) - 12);
    xs.push_back(unit(rng) * scale);
  }
  for (int i = 0; i < 2000; ++i) xs.push_back(std::bit_cast<double>(rng()));
  for (double x : xs) {
    double fast;
    if (!abscissaValue(x, fast)) {
      EXPECT_TRUE(std::isinf(x));
      continue;
    }
    const double text = readByEvaluator(e, x);
    ASSERT_EQ(bits(fast), bits(text)) << std::hexfloat << x << " " << toUtf8(abscissaText(x));
  }
}

// A random formula over x: numbers in several spellings, variables, the
// operators, built-ins, aggregates, and some spellings that fail.
class FormulaGenerator {
 public:
  explicit FormulaGenerator(uint64_t seed) : rng_(seed) {}

  Text formula() { return expression(0); }
  double bound() {
    static const double picks[] = {-10, -3.5, -1, -0.5, 0, 0.25, 1, 2, 3.14159, 10, 1e-12, 123456.789};
    return picks[rng_() % std::size(picks)] + (rng_() % 3 == 0 ? double(rng_() % 1000) / 997 : 0);
  }
  int32_t count() { return int32_t(1 + rng_() % 40); }

 private:
  Text pick(std::initializer_list<const char16_t*> items) { return Text(items.begin()[rng_() % items.size()]); }

  Text atom() {
    switch (rng_() % 12) {
      case 0:
      case 1:
      case 2: return u"x";
      case 3: return pick({u"2", u"0,5", u"1.25", u"3", u"0", u"10", u"1.2.3", u".5"});
      case 4: return pick({u"pi", u"#pi", u"e", u"#e", u"deg", u"#rad"});
      case 5: return pick({u"&FF", u"!101", u"!12", u"&"});
      case 6: return pick({u"y", u"xmax", u"rate"});
      case 7: return pick({u"(x)", u"( x )", u"-x", u"+x", u"x "});
      default: return intText(int64_t(rng_() % 7) - 3);
    }
  }

  Text expression(int depth) {
    if (depth > 4 || rng_() % 3 == 0)
      return atom();
    switch (rng_() % 9) {
      case 0:
      case 1:
      case 2: {
        const Text op = pick(
            {u"+", u"-", u"*", u"/", u"^", u"\\", u" mod ", u"=", u"<", u">=", u"<>", u" and ", u" or ", u" xor "});
        return expression(depth + 1) + op + expression(depth + 1);
      }
      case 3: {
        const Text f =
            pick({u"sin", u"cos",  u"tan",    u"exp",    u"ln",   u"log10", u"sqrt", u"abs",     u"int", u"fix",
                  u"sgn", u"atan", u"arcsin", u"arccos", u"sinh", u"cosh",  u"tanh", u"arctanh", u"sec", u"cotan"});
        return f + (rng_() % 6 == 0 ? u" " + atom() : u"(" + expression(depth + 1) + u")");
      }
      case 4: {
        const Text w = pick({u"max", u"min", u"avg", u"sum", u"median", u"stddev", u"count", u"prod", u"geom_mean"});
        Text list = expression(depth + 1);
        for (int k = int(rng_() % 3); k > 0; --k) list += u";" + expression(depth + 1);
        return w + (rng_() % 8 == 0 ? u" x" : u"(" + list + u")");
      }
      case 5: return u"(" + expression(depth + 1) + u")";
      case 6: return u"-" + expression(depth + 1);
      case 7: return u"not " + expression(depth + 1);
      default:
        // Spellings that fail whatever the abscissa, or only at some points.
        return pick({u"2x", u"x x", u"sin", u"(x", u"x)", u"1/(x-1)", u"1/x", u"x^-1", u"ln(x-2)", u"unknown(x)",
                     u"x eqv 1", u"", u"[m]", u"1e5", u"x,25", u"xx", u"rnd(x)"});
    }
  }

  std::mt19937_64 rng_;
};

// One engine per path, with the same stores.
struct PathEngine {
  HeadlessPlatform platform;
  Engine e{platform};
  explicit PathEngine(int32_t trueValue) {
    defineEntry(e, u"y", u"2,5", false);
    defineEntry(e, u"xmax", u"7", false);
    defineEntry(e, u"rate", u"0.005", false);
    e.eval.trueValue = trueValue;
    e.eval.randomState = 42;  // rnd draws the same numbers on both sides
  }
};

TEST(CompiledFormulaEquivalence, GeneratedFormulasGiveTheTextPathsResults) {
  FormulaGenerator gen(2024);
  int compiledCount = 0, points = 0, fastPoints = 0;
  const int kFormulas = 600;
  for (int f = 0; f < kFormulas; ++f) {
    const Text formula = gen.formula();
    const int32_t trueValue = f % 5 == 0 ? 1 : -1;
    PathEngine fast(trueValue), text(trueValue);
    FormulaSampler fastSampler(fast.e, formula, u"x", SamplerPath::Fast);
    FormulaSampler textSampler(text.e, formula, u"x", SamplerPath::TextOnly);
    compiledCount += fastSampler.compiled();
    const double a = gen.bound(), b = gen.bound();
    const int32_t n = gen.count();
    for (int32_t k = 0; k <= n; ++k) {
      const double x = a + (b - a) / n * k;
      const uint64_t before = fast.e.eval.evaluations;
      const SampleOutcome p = fastSampler.evaluate(x);
      const SampleOutcome q = textSampler.evaluate(x);
      ++points;
      fastPoints += p.written && fast.e.lexer.expression != text.e.lexer.expression;
      ASSERT_EQ(p.status, q.status) << toUtf8(formula) << " at " << x;
      ASSERT_EQ(p.written, q.written) << toUtf8(formula) << " at " << x;
      if (q.written) {
        ASSERT_EQ(bits(p.value), bits(q.value))
            << toUtf8(formula) << " at " << x << ": " << p.value << " vs " << q.value;
      }
      ASSERT_EQ(fast.e.errors.code, text.e.errors.code) << toUtf8(formula);
      ASSERT_EQ(fast.e.eval.resultType, text.e.eval.resultType) << toUtf8(formula);
      ASSERT_EQ(fast.e.eval.evaluations, before + 1);
    }
    fastSampler.finish();
    textSampler.finish();
    ASSERT_EQ(fast.e.errors.log, text.e.errors.log) << toUtf8(formula);
    ASSERT_EQ(fast.e.lexer.expression, text.e.lexer.expression) << toUtf8(formula);
    ASSERT_EQ(fast.e.eval.evaluations, text.e.eval.evaluations) << toUtf8(formula);
  }
  // The comparison is only worth something when many points took the fast path.
  EXPECT_GT(compiledCount, kFormulas / 3);
  EXPECT_GT(fastPoints, points / 4);
}

TEST_F(CompiledFormulaTest, FormulasTheCompiledFormLeavesToTheText) {
  setFunction(u"f", u"x*2");
  EXPECT_FALSE(FormulaSampler(e, u"F(x)+1", u"x").compiled());
  EXPECT_TRUE(FormulaSampler(e, u"x+1", u"x").compiled());
  EXPECT_FALSE(FormulaSampler(e, u"rnd(x)", u"x").compiled());
  EXPECT_FALSE(FormulaSampler(e, u"[a]*x", u"x").compiled());
  EXPECT_FALSE(FormulaSampler(e, u"det([a])", u"x").compiled());
  EXPECT_FALSE(FormulaSampler(e, u"x+", u"x").compiled());
  EXPECT_FALSE(FormulaSampler(e, u"x", u"x", SamplerPath::TextOnly).compiled());
  // A user function's body is expanded after the substitution: the x in it
  // is not the abscissa.
  setVar(u"x", u"5");
  FormulaSampler s(e, u"f+x", u"x");
  EXPECT_EQ(s.evaluate(1).value, 11.0);
}

TEST_F(CompiledFormulaTest, StoreChangesReachACompiledForm) {
  setVar(u"k", u"2");
  FormulaSampler s(e, u"k*x", u"x");
  EXPECT_EQ(s.evaluate(3).value, 6.0);
  setVar(u"k", u"5");
  EXPECT_EQ(s.evaluate(3).value, 15.0);
  // The evaluator's trace takes the text path, which writes it.
  e.messages.showLevel = kShowTrace;
  e.messages.mode = kMsgLog;
  EXPECT_EQ(s.evaluate(1).value, 5.0);
  EXPECT_FALSE(e.messages.log.empty());
}

}  // namespace
}  // namespace quadrel
