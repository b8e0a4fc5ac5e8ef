#include "core/eval/builtins.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
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
// E(t) of the hyperbolic rows: this base raised to t in double precision.
constexpr double kHyperbolicBase = 2.71828182845905;

struct ConstName {
  const char16_t* name;
  double value;
};

constexpr ConstName kConstants[] = {
    {u"pi", 3.141592653589793},     {u"#pi", 3.141592653589793},      {u"2pi", 6.283185307179586},
    {u"#2pi", 6.283185307179586},   {u"e", 2.71828182845905},         {u"#e", 2.71828182845905},
    {u"deg", 57.2957795130823},     {u"to_deg", 57.2957795130823},    {u"#deg", 57.2957795130823},
    {u"#to_deg", 57.2957795130823}, {u"rad", 0.0174532925199433},     {u"to_rad", 0.0174532925199433},
    {u"#rad", 0.0174532925199433},  {u"#to_rad", 0.0174532925199433},
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
float f32(double v) { return static_cast<float>(v); }
float hyperbolicE(float t) { return f32(std::pow(kHyperbolicBase, double(t))); }

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
  const float f = f32(x);
  const float halfPi = 2.0f * f32(std::atan(1.0));
  double value = 0.0;
  // Numerator and denominator the row forms, for the negative-infinity report.
  double num = 0.0, den = 0.0;
  switch (id) {
    case kAbs: value = std::fabs(f); break;
    case kAtan: value = f32(std::atan(double(f))); break;
    case kCos: value = f32(std::cos(double(f))); break;
    case kSin: value = f32(std::sin(double(f))); break;
    case kTan: value = f32(std::tan(double(f))); break;
    case kSec: {
      float c = f32(std::cos(double(f)));
      num = 1, den = c, value = 1.0f / c;
      break;
    }
    case kCosec: {
      float s = f32(std::sin(double(f)));
      num = 1, den = s, value = 1.0f / s;
      break;
    }
    case kCotan: {
      float t = f32(std::tan(double(f)));
      num = 1, den = t, value = 1.0f / t;
      break;
    }
    case kExp: value = f32(std::pow(double(2.7182817f), double(f))); break;
    case kFix: value = std::trunc(f); break;
    case kInt: {
      double t = std::trunc(double(f));
      if (!(t >= -2147483648.0 && t <= 2147483647.0)) {
        domainReport(e, x);
        value = std::isnan(t) ? t : 0.0;
      } else {
        value = f32(double(int32_t(t)));
      }
      break;
    }
    case kLn:
      if (f < 0)
        domainReport(e, x);
      value = f32(std::log(double(f)));
      break;
    case kLog10:
      if (f < 0)
        domainReport(e, x);
      value = f32(std::log10(double(f)));
      break;
    case kSqrt:
      if (f < 0)
        domainReport(e, x);
      value = f32(std::sqrt(double(f)));
      break;
    case kRnd: {
      double n = std::nearbyint(double(f));
      if (!(std::fabs(n) <= 2147483647.0)) {
        domainReport(e, x);
        value = 0.0;
        break;
      }
      uint64_t span = uint64_t(std::fabs(n));
      double r = double(uniformUpTo(e.eval.randomState, span));
      value = f32(n < 0 ? -r : r);
      break;
    }
    case kSgn: value = sgn(f); break;
    case kArcsin:
    case kArccos: {
      float d = 1.0f - f * f;
      if (d <= 0)
        domainReport(e, x, u" and (-arg^2 + 1) => ", d);
      float q = (id == kArcsin ? f : -f) / f32(std::sqrt(double(d)));
      float a = f32(std::atan(double(q)));
      value = id == kArcsin ? a : a + halfPi;
      break;
    }
    case kArcsec:
    case kArccosec: {
      float d = f * f - 1.0f;
      if (d <= 0)
        domainReport(e, x, u" and (arg^2 - 1) => ", d);
      float a = f32(std::atan(double(f / f32(std::sqrt(double(d))))));
      float k = id == kArcsec ? f32(sgn(double(f) - 1)) : f32(sgn(double(f)) - 1);
      value = a + k * halfPi;
      break;
    }
    case kArccotan: value = f32(std::atan(double(f))) + halfPi; break;
    case kSinh:
    case kCosh:
    case kTanh:
    case kSech:
    case kCosech:
    case kCotanh: {
      const float a = hyperbolicE(f), b = hyperbolicE(-f);
      switch (id) {
        case kSinh: value = (a - b) / 2.0f; break;
        case kCosh: value = (a + b) / 2.0f; break;
        case kTanh: num = a - b, den = a + b, value = (a - b) / (a + b); break;
        case kSech: num = 2, den = a + b, value = 2.0f / (a + b); break;
        case kCosech: num = 2, den = a - b, value = 2.0f / (a - b); break;
        default: num = a + b, den = a - b, value = (a + b) / (a - b); break;
      }
      break;
    }
    case kArctanh: {
      float n = 1.0f + f, d = 1.0f - f;
      num = n, den = d;
      value = f32(std::log(double(n / d))) / 2.0f;
      break;
    }
    case kArcsinh: value = f32(std::log(double(f + f32(std::sqrt(double(f * f + 1.0f)))))); break;
    case kArccosh: value = f32(std::log(double(f + f32(std::sqrt(double(f * f - 1.0f)))))); break;
    case kArcsech: {
      float n = f32(std::sqrt(double(1.0f - f * f))) + 1.0f;
      num = n, den = f;
      value = f32(std::log(double(n / f)));
      break;
    }
    case kArccosech: {
      float n = f32(sgn(double(f))) * f32(std::sqrt(double(f * f + 1.0f))) + 1.0f;
      num = n, den = f;
      value = f32(std::log(double(n / f)));
      break;
    }
    case kArccotanh: {
      float n = f + 1.0f, d = f - 1.0f;
      num = n, den = d;
      value = f32(std::log(double(n / d))) / 2.0f;
      break;
    }
    case kArcctg: value = halfPi - f32(std::atan(double(f))); break;
    case kHeaviside: value = f < 0 ? 0.0 : 1.0; break;
    case kConstPi: value = f32(kPi); break;
    case kConstRad: value = f32(kPi / 180.0); break;
    case kConstDeg: value = f32(180.0 / kPi); break;
    case kConstE: value = 2.7182817f; break;
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

double constantFormulaValue(double value) { return readDigitsAndPoints(fixedText(value, kFormulaDecimals)); }

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
    *result = readDigitsAndPoints(lx.ownedElement);
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
