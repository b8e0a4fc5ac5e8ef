#include "core/eval/builtins.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/text/number_reader.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

enum Fn : int {
  kAbs,
  kAtan,
  kCos,
  kSin,
  kTan,
  kSec,
  kCosec,
  kCotan,
  kExp,
  kFix,
  kInt,
  kLn,
  kLog10,
  kSqrt,
  kRnd,
  kSgn,
  kArcsin,
  kArccos,
  kArcsec,
  kArccosec,
  kArccotan,
  kSinh,
  kCosh,
  kTanh,
  kSech,
  kCosech,
  kCotanh,
  kArctanh,
  kArcsinh,
  kArccosh,
  kArcsech,
  kArccosech,
  kArccotanh,
  kArcctg,
  kHeaviside,
  kConstPi,
  kConstRad,
  kConstDeg,
  kConstE,
};

struct FnName {
  const char16_t* name;
  Fn id;
};

// Sorted by name for the binary search. The names the differentiation
// writes (tg, sh, arctg, heaviside, ...) are here too, so every derivative
// it gives can be evaluated.
constexpr FnName kFunctions[] = {
    {u"#deg", kConstDeg},
    {u"#e", kConstE},
    {u"#pi", kConstPi},
    {u"#rad", kConstRad},
    {u"#to_deg", kConstDeg},
    {u"#to_rad", kConstRad},
    {u"abs", kAbs},
    {u"arccos", kArccos},
    {u"arccosec", kArccosec},
    {u"arccosech", kArccosech},
    {u"arccosh", kArccosh},
    {u"arccotan", kArccotan},
    {u"arccotanh", kArccotanh},
    {u"arcctg", kArcctg},
    {u"arcsec", kArcsec},
    {u"arcsech", kArcsech},
    {u"arcsin", kArcsin},
    {u"arcsinh", kArcsinh},
    {u"arctan", kAtan},
    {u"arctanh", kArctanh},
    {u"arctg", kAtan},
    {u"atan", kAtan},
    {u"atn", kAtan},
    {u"ch", kCosh},
    {u"cos", kCos},
    {u"cosec", kCosec},
    {u"cosech", kCosech},
    {u"cosh", kCosh},
    {u"cotan", kCotan},
    {u"cotanh", kCotanh},
    {u"ctg", kCotan},
    {u"ctgh", kCotanh},
    {u"cth", kCotanh},
    {u"deg", kConstDeg},
    {u"exp", kExp},
    {u"fix", kFix},
    {u"h", kHeaviside},
    {u"heaviside", kHeaviside},
    {u"int", kInt},
    {u"ln", kLn},
    {u"log", kLn},
    {u"log10", kLog10},
    {u"rad", kConstRad},
    {u"rnd", kRnd},
    {u"sec", kSec},
    {u"sech", kSech},
    {u"sgn", kSgn},
    {u"sh", kSinh},
    {u"sign", kSgn},
    {u"sin", kSin},
    {u"sinh", kSinh},
    {u"sqr", kSqrt},
    {u"sqrt", kSqrt},
    {u"tan", kTan},
    {u"tanh", kTanh},
    {u"tg", kTan},
    {u"tgh", kTanh},
    {u"th", kTanh},
    {u"to_deg", kConstDeg},
    {u"to_rad", kConstRad},
};

constexpr double kPi = std::numbers::pi;

struct ConstName {
  const char16_t* name;
  double value;
};

// Full doubles: a constant in a formula is worth all its digits.
constexpr double kE = std::numbers::e, kDeg = 180 / kPi, kRad = kPi / 180;
constexpr ConstName kConstants[] = {
    {u"pi", kPi},   {u"#pi", kPi},     {u"2pi", 2 * kPi}, {u"#2pi", 2 * kPi}, {u"e", kE},
    {u"#e", kE},    {u"deg", kDeg},    {u"to_deg", kDeg}, {u"#deg", kDeg},    {u"#to_deg", kDeg},
    {u"rad", kRad}, {u"to_rad", kRad}, {u"#rad", kRad},   {u"#to_rad", kRad},
};

// Lower-cases a short name into buf; false when it is too long to be a
// built-in name.
bool lowerShort(TextView name, char16_t* buf, size_t cap, TextView& out) {
  if (name.size() > cap)
    return false;
  for (size_t i = 0; i < name.size(); ++i) buf[i] = lowerAscii(name[i]);
  out = TextView(buf, name.size());
  return true;
}

double sgn(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

uint64_t nextRandom(uint64_t& state) {
  // splitmix64: small, fast and good enough for a calculator's rnd.
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// Uniform integer in [0, span] without modulo bias.
uint64_t uniformUpTo(uint64_t& state, uint64_t span) {
  if (span == ~uint64_t(0))
    return nextRandom(state);
  const uint64_t range = span + 1;
  const uint64_t limit = ~uint64_t(0) - (~uint64_t(0) % range);
  uint64_t r;
  do r = nextRandom(state);
  while (r >= limit);
  return r % range;
}

void domainReport(Engine& e, double x, TextView more = {}, double moreValue = 0) {
  Text extra = u"Invalid Argument = " + fixedText(x);
  if (!more.empty()) {
    extra.append(more);
    extra.append(fixedText(moreValue));
  }
  extra.append(u"\r\n");
  raise(e, kErrInvalidArgument, u"e_function", 1120, extra);
}

}  // namespace

int findFunction(TextView name) {
  char16_t buf[16];
  TextView key;
  if (!lowerShort(name, buf, 16, key))
    return -1;
  auto begin = std::begin(kFunctions), end = std::end(kFunctions);
  auto it = std::lower_bound(begin, end, key, [](const FnName& f, TextView k) { return TextView(f.name) < k; });
  return (it != end && TextView(it->name) == key) ? int(it->id) : -1;
}

double applyFunction(Engine& e, int id, double x) {
  // Every row in double precision. Where a row is a function of the C
  // library (or the same function written another way, as sinh is with
  // exponentials) the library computes it, for its accuracy and its range.
  constexpr double halfPi = kPi / 2;
  double value = 0.0;
  // Numerator and denominator the row forms, for the negative-infinity report.
  double num = 0.0, den = 0.0;
  switch (id) {
    case kAbs: value = std::fabs(x); break;
    case kAtan: value = std::atan(x); break;
    case kCos: value = std::cos(x); break;
    case kSin: value = std::sin(x); break;
    case kTan: value = std::tan(x); break;
    case kSec: num = 1, den = std::cos(x), value = 1 / den; break;
    case kCosec: num = 1, den = std::sin(x), value = 1 / den; break;
    case kCotan: num = 1, den = std::tan(x), value = 1 / den; break;
    case kExp: value = std::exp(x); break;
    case kFix: value = std::trunc(x); break;
    case kInt: {
      double t = std::trunc(x);
      if (!(t >= -2147483648.0 && t <= 2147483647.0)) {
        domainReport(e, x);
        value = std::isnan(t) ? t : 0.0;
      } else {
        value = t;
      }
      break;
    }
    case kLn:
      if (x < 0)
        domainReport(e, x);
      value = std::log(x);
      break;
    case kLog10:
      if (x < 0)
        domainReport(e, x);
      value = std::log10(x);
      break;
    case kSqrt:
      if (x < 0)
        domainReport(e, x);
      value = std::sqrt(x);
      break;
    case kRnd: {
      double n = std::nearbyint(x);
      if (!(std::fabs(n) <= 2147483647.0)) {
        domainReport(e, x);
        value = 0.0;
        break;
      }
      uint64_t span = uint64_t(std::fabs(n));
      double r = double(uniformUpTo(e.eval.randomState, span));
      value = n < 0 ? -r : r;
      break;
    }
    case kSgn: value = sgn(x); break;
    case kArcsin:
    case kArccos: {
      const double d = 1 - x * x;
      if (d <= 0)
        domainReport(e, x, u" and (-arg^2 + 1) => ", d);
      // atan(x / sqrt(1 - x*x)) and its complement are the arc sine and cosine.
      value = id == kArcsin ? std::asin(x) : std::acos(x);
      break;
    }
    case kArcsec:
    case kArccosec: {
      const double d = x * x - 1;
      if (d <= 0)
        domainReport(e, x, u" and (arg^2 - 1) => ", d);
      const double a = std::atan(x / std::sqrt(d));
      const double k = id == kArcsec ? sgn(x - 1) : sgn(x) - 1;
      value = a + k * halfPi;
      break;
    }
    case kArccotan: value = std::atan(x) + halfPi; break;
    case kSinh: value = std::sinh(x); break;
    case kCosh: value = std::cosh(x); break;
    case kTanh: value = std::tanh(x); break;
    case kSech: num = 2, den = 2 * std::cosh(x), value = 1 / std::cosh(x); break;
    case kCosech: num = 2, den = 2 * std::sinh(x), value = 1 / std::sinh(x); break;
    case kCotanh: num = 2 * std::cosh(x), den = 2 * std::sinh(x), value = 1 / std::tanh(x); break;
    case kArctanh:
      num = 1 + x, den = 1 - x;
      value = std::log(num / den) / 2;
      break;
    case kArcsinh: value = std::asinh(x); break;
    case kArccosh: value = std::acosh(x); break;
    case kArcsech:
      num = std::sqrt(1 - x * x) + 1, den = x;
      value = std::log(num / den);
      break;
    case kArccosech:
      num = sgn(x) * std::sqrt(x * x + 1) + 1, den = x;
      value = std::log(num / den);
      break;
    case kArccotanh:
      num = x + 1, den = x - 1;
      value = std::log(num / den) / 2;
      break;
    case kArcctg: value = halfPi - std::atan(x); break;
    case kHeaviside: value = x < 0 ? 0.0 : 1.0; break;
    case kConstPi: value = kPi; break;
    case kConstRad: value = kRad; break;
    case kConstDeg: value = kDeg; break;
    case kConstE: value = kE; break;
    default: {
      Text extra = u"Undefined Function = ";
      extra.append(e.lexer.element());
      extra.append(u"\r\n");
      raise(e, kErrUndefinedFunction, u"e_function", 1150, extra);
      return 0.0;
    }
  }
  if (value == -HUGE_VAL) {
    Text extra = u"Invalid Argument: Numerator= " + fixedText(num) + u", Denominator= " + fixedText(den) + u"\r\n";
    raise(e, kErrInvalidArgument, u"e_function", 1160, extra);
  }
  return value;
}

Text builtinFunctionNames() {
  Text names;
  for (const FnName& f : kFunctions) {
    names.append(f.name);
    names.push_back(u' ');
  }
  return names;
}

bool findConstant(TextView name, double& value) {
  char16_t buf[16];
  TextView key;
  if (!lowerShort(name, buf, 16, key))
    return false;
  for (const auto& c : kConstants) {
    if (TextView(c.name) == key) {
      value = c.value;
      return true;
    }
  }
  return false;
}

int32_t getConstant(Engine& e, TextView name, double* result) {
  setErrorCode(e, kErrUndefined);
  double v;
  if (!findConstant(name, v)) {
    setErrorCode(e, kErrUndefinedConstant);
    return 0;
  }
  LexerState& lx = e.lexer;
  lx.ownedElement = fixedText(v, kFormulaDecimals);
  lx.elementOwned = true;
  lx.elementFromValue = false;
  if (result)
    decimalValue(lx.ownedElement, *result);
  clearErrorCode(e);
  return 1;
}

double aggregateValue(Word w, double* v, size_t n) {
  double sum = 0, sum2 = 0, prod = 1, prod2 = 1;
  for (size_t i = 0; i < n; ++i) {
    sum += v[i];
    sum2 += v[i] * v[i];
    prod *= v[i];
    prod2 *= v[i] * v[i];
  }
  const double dn = double(n);
  switch (w) {
    case Word::Count: return dn;
    case Word::Min: return *std::min_element(v, v + n);
    case Word::Max: return *std::max_element(v, v + n);
    case Word::Sum: return sum;
    case Word::Sum2: return sum2;
    case Word::Prod: return prod;
    case Word::Prod2: return prod2;
    case Word::Avg:
    case Word::Mean: return sum / dn;
    case Word::GeomMean: return std::pow(prod, 1.0 / dn);
    case Word::Stddev: return std::sqrt((sum2 - sum * sum / dn) / (dn - 1));
    case Word::Median: {
      // NaNs sort last, so the order stays strict and weak.
      std::sort(v, v + n, [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); });
      if (n % 2)
        return v[n / 2];
      return (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    default: return 0.0;
  }
}

}  // namespace quadrel
