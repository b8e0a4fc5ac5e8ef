#include "core/diff/diff_simplify.h"

#include <cmath>
#include <numbers>

#include "core/diff/diff_state.h"
#include "core/diff/diff_trace.h"
#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"

namespace quadrel {

namespace {

class Simplifier {
 public:
  explicit Simplifier(Engine& e) : e_(e), s_(e.diff) {}

  int32_t run(int32_t node) {
    if (node == 0)
      return 0;
    const int32_t op = s_.nodes[size_t(node)].opCode;
    switch (op) {
      case kOpAdd: return add(node);
      case kOpSub: return subtract(node);
      case kOpMul: return multiply(node);
      case kOpDiv: return divide(node);
      case kOpNegate: {
        const int32_t l = setLeft(node, run(at(node).l));
        if (isNumber(l))
          fold(node, -value(l));
        return node;
      }
      case kOpPower: return power(node);
      default:
        if (op >= kOpCos && op <= kOpLog10) {
          const int32_t l = setLeft(node, run(at(node).l));
          if (isNumber(l))
            fold(node, diffFunctionValue(op, value(l)));
        }
        return node;
    }
  }

 private:
  Engine& e_;
  DiffState& s_;

  DiffNode& at(int32_t node) { return s_.nodes[size_t(node)]; }
  int32_t setLeft(int32_t node, int32_t l) { return at(node).l = l; }
  int32_t setRight(int32_t node, int32_t r) { return at(node).r = r; }
  bool isNumber(int32_t node) { return node && at(node).opCode == kOpNumber; }
  double value(int32_t node) { return diffNumberValue(at(node).con); }
  bool isNumber(int32_t node, double v) { return isNumber(node) && value(node) == v; }

  // Turns node into a number node of v; false (and nothing changed) when v
  // is not finite or a non-zero v would read as 0.
  bool fold(int32_t node, double v) {
    if (!std::isfinite(v))
      return false;
    Text text = diffNumberText(v);
    if (v != 0 && text == u"0")
      return false;
    DiffNode& n = at(node);
    n.opCode = kOpNumber;
    n.con = std::move(text);
    n.l = n.r = 0;
    return true;
  }

  int32_t add(int32_t node) {
    const int32_t l = setLeft(node, run(at(node).l));
    const int32_t r = setRight(node, run(at(node).r));
    if (isNumber(l) && isNumber(r) && fold(node, value(l) + value(r)))
      return node;
    if (isNumber(l, 0))
      return r;
    if (isNumber(r, 0))
      return l;
    return node;
  }

  int32_t subtract(int32_t node) {
    const int32_t l = setLeft(node, run(at(node).l));
    const int32_t r = setRight(node, run(at(node).r));
    if (isNumber(l) && isNumber(r) && fold(node, value(l) - value(r)))
      return node;
    if (isNumber(l, 0)) {
      DiffNode& n = at(node);
      n.opCode = kOpNegate;
      n.l = r;
      n.r = 0;
      return node;
    }
    if (isNumber(r, 0))
      return l;
    return node;
  }

  int32_t multiply(int32_t node) {
    const int32_t r = setRight(node, run(at(node).r));
    if (isNumber(r, 0)) {
      fold(node, 0);
      return node;
    }
    const int32_t l = setLeft(node, run(at(node).l));
    if (isNumber(l, 0)) {
      fold(node, 0);
      return node;
    }
    if (isNumber(l) && isNumber(r) && fold(node, value(l) * value(r)))
      return node;
    if (isNumber(l, 1))
      return r;
    if (isNumber(r, 1))
      return l;
    return node;
  }

  int32_t divide(int32_t node) {
    const int32_t l = setLeft(node, run(at(node).l));
    const int32_t r = setRight(node, run(at(node).r));
    if (isNumber(r, 0)) {
      diffError(e_, u"Division by zero.");
      setErrorCode(e_, kErrDivisionByZero);
      return node;
    }
    if (isNumber(l) && isNumber(r) && fold(node, value(l) / value(r)))
      return node;
    if (isNumber(l, 0)) {
      fold(node, 0);
      return node;
    }
    if (isNumber(r, 1))
      return l;
    return node;
  }

  int32_t power(int32_t node) {
    const int32_t l = setLeft(node, run(at(node).l));
    const int32_t r = setRight(node, run(at(node).r));
    if (isNumber(r, 0)) {
      fold(node, 1);
      return node;
    }
    if (isNumber(l, 0) && isNumber(r) && value(r) > 0) {
      fold(node, 0);
      return node;
    }
    if (isNumber(l) && isNumber(r)) {
      const double base = value(l), exponent = value(r);
      if ((base >= 0 || exponent == std::trunc(exponent)) && fold(node, std::pow(base, exponent)))
        return node;
    }
    if (isNumber(r, 1))
      return l;
    return node;
  }
};

}  // namespace

// The same values as the evaluator's rows, in double precision.
double diffFunctionValue(int32_t op, double a) {
  switch (op) {
    case kOpCos: return std::cos(a);
    case kOpSin: return std::sin(a);
    case kOpTg: return std::tan(a);
    case kOpCtg: return 1 / std::tan(a);
    case kOpAbs: return std::fabs(a);
    case kOpSgn: return a > 0 ? 1.0 : (a < 0 ? -1.0 : 0.0);
    case kOpSqrt: return std::sqrt(a);
    case kOpLn: return std::log(a);
    case kOpExp: return std::exp(a);
    case kOpArcsin: return std::asin(a);
    case kOpArccos: return std::acos(a);
    case kOpArctg: return std::atan(a);
    case kOpArcctg: return std::numbers::pi / 2 - std::atan(a);
    case kOpSh: return std::sinh(a);
    case kOpCh: return std::cosh(a);
    case kOpTh: return std::tanh(a);
    case kOpCth: return 1 / std::tanh(a);
    case kOpHeaviside: return a < 0 ? 0.0 : 1.0;
    case kOpLog10: return std::log10(a);
    default: return NAN;
  }
}

int32_t simplifyDiffTree(Engine& e, int32_t node) { return Simplifier(e).run(node); }

}  // namespace quadrel
