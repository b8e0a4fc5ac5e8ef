#include "core/diff/diff_rules.h"

#include <algorithm>
#include <vector>

#include "core/diff/diff_state.h"
#include "core/diff/diff_trace.h"
#include "core/diff/diff_writer.h"

namespace quadrel {

namespace {

// ln 10 in single precision, written with 6 decimals.
constexpr TextView kLn10Text = u"2.302585";

struct Template {
  int32_t op;
  const char16_t* before;  // then F(L)
  const char16_t* middle;  // then D(L)
  int32_t nodes;           // nodes of the template's own text
};

// Chain rules of one-argument functions: before F(L) middle D(L) "))".
constexpr Template kChainRules[] = {
    {kOpCos, u"(-sin(", u")*(", 3},
    {kOpSin, u"(cos(", u")*(", 2},
    {kOpTg, u"(1/(cos(", u")^2)*(", 6},
    {kOpCtg, u"(-1/(sin(", u")^2)*(", 6},
    {kOpAbs, u"(sgn(", u")*(", 2},
    {kOpSqrt, u"(0.5/sqrt(", u")*(", 4},
    {kOpLn, u"(1/(", u")*(", 3},
    {kOpExp, u"(exp(", u")*(", 2},
    {kOpArcsin, u"(1/sqrt(1-(", u")^2)*(", 8},
    {kOpArccos, u"(-1/sqrt(1-(", u")^2)*(", 8},
    {kOpArctg, u"(1/(1+(", u")^2)*(", 7},
    {kOpArcctg, u"(-1/(1+(", u")^2)*(", 7},
    {kOpSh, u"(ch(", u")*(", 2},
    {kOpCh, u"(sh(", u")*(", 2},
    {kOpTh, u"(1/(ch(", u")^2)*(", 6},
    {kOpCth, u"(-1/(sh(", u")^2)*(", 6},
    {kOpLog10, u"(1/(", u")*(", 3},
};

const Template* chainRule(int32_t op) {
  for (const Template& t : kChainRules)
    if (t.op == op)
      return &t;
  return nullptr;
}

class Deriver {
 public:
  Deriver(const DiffState& s, TextView variable, Text& out) : s_(s), variable_(variable), out_(out) {}

  void D(int32_t node) {
    if (node == 0) {
      out_.push_back(u'0');
      return;
    }
    const DiffNode& n = s_.nodes[size_t(node)];
    switch (n.opCode) {
      case kOpAdd:
      case kOpSub:
        out_.append(u"((");
        D(n.l);
        out_.append(n.opCode == kOpAdd ? u")+(" : u")-(");
        D(n.r);
        out_.append(u"))");
        return;
      case kOpMul:
        out_.append(u"((");
        D(n.l);
        out_.append(u")*(");
        F(n.r);
        out_.append(u")+(");
        D(n.r);
        out_.append(u")*(");
        F(n.l);
        out_.append(u"))");
        return;
      case kOpDiv:
        out_.append(u"((");
        D(n.l);
        out_.append(u")*(");
        F(n.r);
        out_.append(u")-(");
        D(n.r);
        out_.append(u")*(");
        F(n.l);
        out_.append(u"))/(");
        F(n.r);
        out_.append(u")^2");
        return;
      case kOpVariable: out_.push_back(n.con == variable_ ? u'1' : u'0'); return;
      case kOpNegate:
        out_.append(u"(-(");
        D(n.l);
        out_.append(u"))");
        return;
      case kOpPower: power(n); return;
      default: break;
    }
    if (const Template* t = chainRule(n.opCode)) {
      out_.append(t->before);
      F(n.l);
      out_.append(t->middle);
      D(n.l);
      out_.append(u"))");
      if (n.opCode == kOpLog10) {
        out_.append(u"/(");
        out_.append(kLn10Text);
        out_.push_back(u')');
      }
      return;
    }
    out_.push_back(u'0');  // numbers, sgn, heaviside
  }

 private:
  const DiffState& s_;
  TextView variable_;
  Text& out_;

  void F(int32_t node) { appendFullForm(s_, node, out_); }

  // (R)*(L)^(R-1)*(D L) + (L)^(R)*(ln(L)*D R). A name as exponent has no
  // number value: its first term is written (R)*(L)^(R)/(L)*(D L).
  void power(const DiffNode& n) {
    const int32_t exponentOp = n.r ? s_.nodes[size_t(n.r)].opCode : 0;
    out_.append(u"((");
    F(n.r);
    out_.append(u")*(");
    F(n.l);
    out_.append(u")^(");
    if (exponentOp == kOpVariable) {
      F(n.r);
      out_.append(u")/(");
      F(n.l);
    } else {
      const double value = n.r ? diffNumberValue(s_.nodes[size_t(n.r)].con) : 0.0;
      out_.append(diffNumberText(value - 1));
    }
    out_.append(u")*(");
    D(n.l);
    out_.append(u"))+((");
    F(n.l);
    out_.append(u")^(");
    F(n.r);
    out_.append(u")*(ln(");
    F(n.l);
    out_.append(u")*");
    D(n.r);
    out_.append(u"))");
  }
};

class NodeCounter {
 public:
  NodeCounter(const DiffState& s, int64_t limit) : s_(s), limit_(limit), sizes_(size_t(s.index) + 1, 0) {
    for (int32_t i = 1; i <= s.index; ++i) sizes_[size_t(i)] = -1;
  }

  int64_t D(int32_t node) {
    if (node == 0)
      return 1;
    const DiffNode& n = s_.nodes[size_t(node)];
    int64_t c = 0;
    switch (n.opCode) {
      case kOpAdd:
      case kOpSub: c = 1 + D(n.l) + D(n.r); break;
      case kOpMul: c = 3 + D(n.l) + S(n.r) + D(n.r) + S(n.l); break;
      case kOpDiv: c = 6 + D(n.l) + 2 * S(n.r) + D(n.r) + S(n.l); break;
      case kOpNegate: c = 1 + D(n.l); break;
      case kOpPower: {
        const bool named = n.r && s_.nodes[size_t(n.r)].opCode == kOpVariable;
        c = named ? 9 + 3 * S(n.r) + 4 * S(n.l) : 9 + 2 * S(n.r) + 3 * S(n.l);
        c += D(n.l) + D(n.r);
        break;
      }
      default:
        if (const Template* t = chainRule(n.opCode))
          c = t->nodes + S(n.l) + D(n.l) + (n.opCode == kOpLog10 ? 2 : 0);
        else
          c = 1;
        break;
    }
    return std::min(c, limit_ + 1);
  }

 private:
  const DiffState& s_;
  int64_t limit_;
  std::vector<int64_t> sizes_;  // nodes of each subtree, -1 until known

  // Nodes of the subtree (what its full form reads back into).
  int64_t S(int32_t node) {
    if (node == 0)
      return 0;
    int64_t& known = sizes_[size_t(node)];
    if (known < 0) {
      const DiffNode& n = s_.nodes[size_t(node)];
      known = 1 + S(n.l) + S(n.r);
    }
    return known;
  }
};

}  // namespace

void appendDerivative(const DiffState& s, int32_t node, TextView variable, Text& out) {
  Deriver(s, variable, out).D(node);
}

int64_t derivativeNodeCount(const DiffState& s, int32_t node, int64_t limit) { return NodeCounter(s, limit).D(node); }

}  // namespace quadrel
