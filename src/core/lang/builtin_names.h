// The one table of built-in names in formulas: each name with the built-in
// the evaluator applies and the rule the differentiator uses for it. The
// evaluator, the sampler and the differentiator look names up here only, so
// a name the evaluator knows is one the differentiator differentiates or
// refuses by name.
#pragma once

#include <cstdint>
#include <span>

#include "core/text/u16.h"

namespace quadrel {

// What the evaluator computes for a name (the "#" constants and the other
// single-precision constants included).
enum class Builtin : uint8_t {
  Abs,
  Atan,
  Cos,
  Sin,
  Tan,
  Sec,
  Cosec,
  Cotan,
  Exp,
  Fix,
  Int,
  Ln,
  Log10,
  Sqrt,
  Rnd,
  Sgn,
  Arcsin,
  Arccos,
  Arcsec,
  Arccosec,
  Arccotan,
  Sinh,
  Cosh,
  Tanh,
  Sech,
  Cosech,
  Cotanh,
  Arctanh,
  Arcsinh,
  Arccosh,
  Arcsech,
  Arccosech,
  Arccotanh,
  Arcctg,
  Heaviside,
  ConstPi,
  ConstRad,
  ConstDeg,
  ConstE,
};

constexpr bool isConstantBuiltin(Builtin b) { return b >= Builtin::ConstPi; }

// The differentiator's rule for a function: the value is the operation code
// of its node (the codes 10 to 28 of the differentiation tree). None: the
// differentiator has no rule and refuses the name, naming it.
enum class DerivativeRule : uint8_t {
  None = 0,
  Cos = 10,
  Sin,
  Tg,
  Ctg,
  Abs,
  Sgn,
  Sqrt,
  Ln,
  Exp,
  Arcsin,
  Arccos,
  Arctg,
  Arcctg,
  Sh,
  Ch,
  Th,
  Cth,
  Heaviside,
  Log10,
};

struct BuiltinName {
  TextView name;  // lower case
  Builtin builtin;
  DerivativeRule rule;
};

// The row of a name, compared in lower case; nullptr when it is no built-in.
const BuiltinName* findBuiltin(TextView name);

// Every row, sorted by name.
std::span<const BuiltinName> builtinNames();

}  // namespace quadrel
