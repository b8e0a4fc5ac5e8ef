#include "core/diff/diff_writer.h"

#include "core/diff/diff_state.h"
#include "core/diff/diff_trace.h"

namespace quadrel {

namespace {

char16_t operatorChar(int32_t op) {
  switch (op) {
    case kOpAdd: return u'+';
    case kOpSub: return u'-';
    case kOpMul: return u'*';
    case kOpDiv: return u'/';
    default: return u'^';
  }
}

bool isLeafOrFunctionOrPower(int32_t op) { return op == kOpNumber || op == kOpVariable || (op >= 10 && op <= 31); }
// Operands of "*" and of the left of "/" stay bare for these codes.
bool productOperand(int32_t op) { return (op >= kOpMul && op <= kOpVariable) || (op >= 10 && op <= 31); }

void appendWrapped(const DiffState& s, int32_t node, bool wrap, Text& out) {
  if (wrap)
    out.push_back(u'(');
  appendMinimalForm(s, node, out);
  if (wrap)
    out.push_back(u')');
}

int32_t opOf(const DiffState& s, int32_t node) { return node ? s.nodes[size_t(node)].opCode : 0; }

}  // namespace

void appendFullForm(const DiffState& s, int32_t node, Text& out) {
  if (node == 0)
    return;
  const DiffNode& n = s.nodes[size_t(node)];
  switch (n.opCode) {
    case kOpAdd:
    case kOpSub:
    case kOpMul:
    case kOpDiv:
    case kOpPower:
      out.append(u"((");
      appendFullForm(s, n.l, out);
      out.push_back(u')');
      out.push_back(operatorChar(n.opCode));
      out.push_back(u'(');
      appendFullForm(s, n.r, out);
      out.append(u"))");
      break;
    case kOpNumber:
    case kOpVariable: out.append(n.con); break;
    case kOpNegate:
      out.append(u"(-(");
      appendFullForm(s, n.l, out);
      out.append(u"))");
      break;
    default:
      if (isDiffFunction(n.opCode)) {
        out.append(n.con);
        out.push_back(u'(');
        appendFullForm(s, n.l, out);
        out.push_back(u')');
      }
      break;
  }
}

void appendMinimalForm(const DiffState& s, int32_t node, Text& out) {
  if (node == 0)
    return;
  const DiffNode& n = s.nodes[size_t(node)];
  const int32_t left = opOf(s, n.l), right = opOf(s, n.r);
  switch (n.opCode) {
    case kOpAdd:
      appendMinimalForm(s, n.l, out);
      out.push_back(u'+');
      appendMinimalForm(s, n.r, out);
      break;
    case kOpSub:
      appendMinimalForm(s, n.l, out);
      out.push_back(u'-');
      appendWrapped(s, n.r, !productOperand(right), out);
      break;
    case kOpMul:
      appendWrapped(s, n.l, !productOperand(left), out);
      out.push_back(u'*');
      appendWrapped(s, n.r, !productOperand(right), out);
      break;
    case kOpDiv:
      appendWrapped(s, n.l, !productOperand(left), out);
      out.push_back(u'/');
      appendWrapped(s, n.r, !isLeafOrFunctionOrPower(right), out);
      break;
    case kOpNumber: {
      const bool negative = diffNumberValue(n.con) < 0;
      if (negative)
        out.push_back(u'(');
      out.append(n.con);
      if (negative)
        out.push_back(u')');
      break;
    }
    case kOpVariable: out.append(n.con); break;
    case kOpNegate:
      out.append(u"(-");
      appendWrapped(s, n.l, !isLeafOrFunctionOrPower(left), out);
      out.push_back(u')');
      break;
    case kOpPower:
      appendWrapped(s, n.l, left != kOpNumber && left != kOpVariable, out);
      out.push_back(u'^');
      appendMinimalForm(s, n.r, out);
      break;
    default:
      if (isDiffFunction(n.opCode)) {
        out.append(n.con);
        out.push_back(u'(');
        appendMinimalForm(s, n.l, out);
        out.push_back(u')');
      }
      break;
  }
}

}  // namespace quadrel
