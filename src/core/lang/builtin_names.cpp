#include "core/lang/builtin_names.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace quadrel {

namespace {

using B = Builtin;
using R = DerivativeRule;

// Sorted by name for the binary search. The names the differentiator writes
// (tg, sh, arctg, heaviside, ...) are here too, so every derivative it gives
// can be evaluated. The rule of each name is that of the function the
// evaluator computes: arccotan is arctan + pi/2, so its slope is arctan's.
constexpr BuiltinName kNames[] = {
    {u"#deg", B::ConstDeg, R::None},
    {u"#e", B::ConstE, R::None},
    {u"#pi", B::ConstPi, R::None},
    {u"#rad", B::ConstRad, R::None},
    {u"#to_deg", B::ConstDeg, R::None},
    {u"#to_rad", B::ConstRad, R::None},
    {u"abs", B::Abs, R::Abs},
    {u"arccos", B::Arccos, R::Arccos},
    {u"arccosec", B::Arccosec, R::None},
    {u"arccosech", B::Arccosech, R::None},
    {u"arccosh", B::Arccosh, R::None},
    {u"arccotan", B::Arccotan, R::Arctg},
    {u"arccotanh", B::Arccotanh, R::None},
    {u"arcctg", B::Arcctg, R::Arcctg},
    {u"arcsec", B::Arcsec, R::None},
    {u"arcsech", B::Arcsech, R::None},
    {u"arcsin", B::Arcsin, R::Arcsin},
    {u"arcsinh", B::Arcsinh, R::None},
    {u"arctan", B::Atan, R::Arctg},
    {u"arctanh", B::Arctanh, R::None},
    {u"arctg", B::Atan, R::Arctg},
    {u"atan", B::Atan, R::Arctg},
    {u"atn", B::Atan, R::Arctg},
    {u"ch", B::Cosh, R::Ch},
    {u"cos", B::Cos, R::Cos},
    {u"cosec", B::Cosec, R::None},
    {u"cosech", B::Cosech, R::None},
    {u"cosh", B::Cosh, R::Ch},
    {u"cotan", B::Cotan, R::Ctg},
    {u"cotanh", B::Cotanh, R::Cth},
    {u"ctg", B::Cotan, R::Ctg},
    {u"ctgh", B::Cotanh, R::Cth},
    {u"cth", B::Cotanh, R::Cth},
    {u"deg", B::ConstDeg, R::None},
    {u"exp", B::Exp, R::Exp},
    {u"fix", B::Fix, R::None},
    {u"h", B::Heaviside, R::Heaviside},
    {u"heaviside", B::Heaviside, R::Heaviside},
    {u"int", B::Int, R::None},
    {u"ln", B::Ln, R::Ln},
    {u"log", B::Ln, R::Ln},
    {u"log10", B::Log10, R::Log10},
    {u"rad", B::ConstRad, R::None},
    {u"rnd", B::Rnd, R::None},
    {u"sec", B::Sec, R::None},
    {u"sech", B::Sech, R::None},
    {u"sgn", B::Sgn, R::Sgn},
    {u"sh", B::Sinh, R::Sh},
    {u"sign", B::Sgn, R::Sgn},
    {u"sin", B::Sin, R::Sin},
    {u"sinh", B::Sinh, R::Sh},
    {u"sqr", B::Sqrt, R::Sqrt},
    {u"sqrt", B::Sqrt, R::Sqrt},
    {u"tan", B::Tan, R::Tg},
    {u"tanh", B::Tanh, R::Th},
    {u"tg", B::Tan, R::Tg},
    {u"tgh", B::Tanh, R::Th},
    {u"th", B::Tanh, R::Th},
    {u"to_deg", B::ConstDeg, R::None},
    {u"to_rad", B::ConstRad, R::None},
};

static_assert(std::is_sorted(std::begin(kNames), std::end(kNames),
                             [](const BuiltinName& a, const BuiltinName& b) { return a.name < b.name; }));

// The rows whose names start with each ASCII character, so a look-up
// searches a handful of rows.
struct RowRange {
  uint8_t begin = 0, end = 0;
};
constexpr std::array<RowRange, 128> kRowsByFirst = [] {
  std::array<RowRange, 128> ranges{};
  for (size_t k = std::size(kNames); k-- > 0;) {
    RowRange& r = ranges[kNames[k].name[0]];
    if (r.end == 0)
      r.end = uint8_t(k + 1);
    r.begin = uint8_t(k);
  }
  return ranges;
}();

// Longer than any name of the table: such a name is no built-in.
constexpr size_t kLongestName = 16;

}  // namespace

const BuiltinName* findBuiltin(TextView name) {
  if (name.empty() || name.size() > kLongestName)
    return nullptr;
  char16_t buf[kLongestName];
  for (size_t i = 0; i < name.size(); ++i) buf[i] = lowerAscii(name[i]);
  const TextView key(buf, name.size());
  if (key[0] >= kRowsByFirst.size())
    return nullptr;
  const RowRange rows = kRowsByFirst[key[0]];
  const BuiltinName *begin = kNames + rows.begin, *end = kNames + rows.end;
  auto it = std::lower_bound(begin, end, key, [](const BuiltinName& row, TextView k) { return row.name < k; });
  return (it != end && it->name == key) ? &*it : nullptr;
}

std::span<const BuiltinName> builtinNames() { return kNames; }

}  // namespace quadrel
