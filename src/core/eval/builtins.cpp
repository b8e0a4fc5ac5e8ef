#include "core/eval/builtins.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/lang/builtin_names.h"
#include "core/text/number_reader.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

constexpr double kPi = std::numbers::pi;

struct ConstName {
  TextView name;
  double value;
};

// Full doubles: a constant in a formula is worth all its digits.
constexpr double kE = std::numbers::e, kDeg = 180 / kPi, kRad = kPi / 180;
// Sorted by name for the binary search.
constexpr ConstName kConstants[] = {
    {u"#2pi", 2 * kPi}, {u"#deg", kDeg},    {u"#e", kE},       {u"#pi", kPi},     {u"#rad", kRad},
    {u"#to_deg", kDeg}, {u"#to_rad", kRad}, {u"2pi", 2 * kPi}, {u"deg", kDeg},    {u"e", kE},
    {u"pi", kPi},       {u"rad", kRad},     {u"to_deg", kDeg}, {u"to_rad", kRad},
};
// Most names the lexer probes are no constant: their first character tells.
constexpr TextView kConstantFirstCharacters = u"#2DEPRTdeprt";
static_assert(std::all_of(std::begin(kConstants), std::end(kConstants), [](const ConstName& c) {
  return kConstantFirstCharacters.find(c.name[0]) != TextView::npos &&
         kConstantFirstCharacters.find(upperAscii(c.name[0])) != TextView::npos;
}));
static_assert(std::is_sorted(std::begin(kConstants), std::end(kConstants),
                             [](const ConstName& a, const ConstName& b) { return a.name < b.name; }));

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
  const BuiltinName* row = findBuiltin(name);
  return row ? int(row->builtin) : -1;
}

double applyFunction(Engine& e, int id, double x) {
  // Every row in double precision. Where a row is a function of the C
  // library (or the same function written another way, as sinh is with
  // exponentials) the library computes it, for its accuracy and its range.
  constexpr double halfPi = kPi / 2;
  double value = 0.0;
  // Numerator and denominator the row forms, for the negative-infinity report.
  double num = 0.0, den = 0.0;
  switch (Builtin(id)) {
    case Builtin::Abs: value = std::fabs(x); break;
    case Builtin::Atan: value = std::atan(x); break;
    case Builtin::Cos: value = std::cos(x); break;
    case Builtin::Sin: value = std::sin(x); break;
    case Builtin::Tan: value = std::tan(x); break;
    case Builtin::Sec: num = 1, den = std::cos(x), value = 1 / den; break;
    case Builtin::Cosec: num = 1, den = std::sin(x), value = 1 / den; break;
    case Builtin::Cotan: num = 1, den = std::tan(x), value = 1 / den; break;
    case Builtin::Exp: value = std::exp(x); break;
    case Builtin::Fix: value = std::trunc(x); break;
    case Builtin::Int: {
      double t = std::trunc(x);
      if (!(t >= -2147483648.0 && t <= 2147483647.0)) {
        domainReport(e, x);
        value = std::isnan(t) ? t : 0.0;
      } else {
        value = t;
      }
      break;
    }
    case Builtin::Ln:
      if (x < 0)
        domainReport(e, x);
      value = std::log(x);
      break;
    case Builtin::Log10:
      if (x < 0)
        domainReport(e, x);
      value = std::log10(x);
      break;
    case Builtin::Sqrt:
      if (x < 0)
        domainReport(e, x);
      value = std::sqrt(x);
      break;
    case Builtin::Rnd: {
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
    case Builtin::Sgn: value = sgn(x); break;
    case Builtin::Arcsin:
    case Builtin::Arccos: {
      const double d = 1 - x * x;
      if (d <= 0)
        domainReport(e, x, u" and (-arg^2 + 1) => ", d);
      // atan(x / sqrt(1 - x*x)) and its complement are the arc sine and cosine.
      value = Builtin(id) == Builtin::Arcsin ? std::asin(x) : std::acos(x);
      break;
    }
    case Builtin::Arcsec:
    case Builtin::Arccosec: {
      const double d = x * x - 1;
      if (d <= 0)
        domainReport(e, x, u" and (arg^2 - 1) => ", d);
      const double a = std::atan(x / std::sqrt(d));
      const double k = Builtin(id) == Builtin::Arcsec ? sgn(x - 1) : sgn(x) - 1;
      value = a + k * halfPi;
      break;
    }
    case Builtin::Arccotan: value = std::atan(x) + halfPi; break;
    case Builtin::Sinh: value = std::sinh(x); break;
    case Builtin::Cosh: value = std::cosh(x); break;
    case Builtin::Tanh: value = std::tanh(x); break;
    case Builtin::Sech: num = 2, den = 2 * std::cosh(x), value = 1 / std::cosh(x); break;
    case Builtin::Cosech: num = 2, den = 2 * std::sinh(x), value = 1 / std::sinh(x); break;
    case Builtin::Cotanh: num = 2 * std::cosh(x), den = 2 * std::sinh(x), value = 1 / std::tanh(x); break;
    case Builtin::Arctanh:
      num = 1 + x, den = 1 - x;
      value = std::log(num / den) / 2;
      break;
    case Builtin::Arcsinh: value = std::asinh(x); break;
    case Builtin::Arccosh: value = std::acosh(x); break;
    case Builtin::Arcsech:
      num = std::sqrt(1 - x * x) + 1, den = x;
      value = std::log(num / den);
      break;
    case Builtin::Arccosech:
      num = sgn(x) * std::sqrt(x * x + 1) + 1, den = x;
      value = std::log(num / den);
      break;
    case Builtin::Arccotanh:
      num = x + 1, den = x - 1;
      value = std::log(num / den) / 2;
      break;
    case Builtin::Arcctg: value = halfPi - std::atan(x); break;
    case Builtin::Heaviside: value = x < 0 ? 0.0 : 1.0; break;
    case Builtin::ConstPi: value = kPi; break;
    case Builtin::ConstRad: value = kRad; break;
    case Builtin::ConstDeg: value = kDeg; break;
    case Builtin::ConstE: value = kE; break;
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
  for (const BuiltinName& row : builtinNames()) {
    names.append(row.name);
    names.push_back(u' ');
  }
  return names;
}

bool findConstant(TextView name, double& value) {
  if (name.empty() || kConstantFirstCharacters.find(name[0]) == TextView::npos)
    return false;
  char16_t buf[16];
  TextView key;
  if (!lowerShort(name, buf, 16, key))
    return false;
  auto it = std::lower_bound(std::begin(kConstants), std::end(kConstants), key,
                             [](const ConstName& c, TextView k) { return c.name < k; });
  if (it == std::end(kConstants) || it->name != key)
    return false;
  value = it->value;
  return true;
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
