#include "core/diff/diff_parser.h"

#include <iterator>

#include "core/diff/diff_state.h"
#include "core/diff/diff_trace.h"
#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/text/number_reader.h"

namespace quadrel {

namespace {

struct FunctionName {
  const char16_t* name;
  int32_t op;
};

// Compared exactly (case-sensitively); any other name is a variable.
constexpr FunctionName kFunctionNames[] = {
    {u"cos", kOpCos},
    {u"sin", kOpSin},
    {u"tg", kOpTg},
    {u"tan", kOpTg},
    {u"ctg", kOpCtg},
    {u"cotan", kOpCtg},
    {u"abs", kOpAbs},
    {u"sgn", kOpSgn},
    {u"sign", kOpSgn},
    {u"sqrt", kOpSqrt},
    {u"sqr", kOpSqrt},
    {u"ln", kOpLn},
    {u"log", kOpLn},
    {u"exp", kOpExp},
    {u"arcsin", kOpArcsin},
    {u"arccos", kOpArccos},
    {u"arctg", kOpArctg},
    {u"arctan", kOpArctg},
    {u"arcctg", kOpArcctg},
    {u"arccotan", kOpArcctg},
    {u"sh", kOpSh},
    {u"sinh", kOpSh},
    {u"ch", kOpCh},
    {u"cosh", kOpCh},
    {u"th", kOpTh},
    {u"tanh", kOpTh},
    {u"tgh", kOpTh},
    {u"cth", kOpCth},
    {u"cotanh", kOpCth},
    {u"ctgh", kOpCth},
    {u"heaviside", kOpHeaviside},
    {u"h", kOpHeaviside},
    {u"log10", kOpLog10},
};

int32_t nameType(TextView name) {
  for (const FunctionName& f : kFunctionNames)
    if (name == f.name)
      return f.op;
  return kOpVariable;
}

bool isNameChar(char16_t c) { return isLetter(c) || isDigit(c); }

class TreeParser {
 public:
  TreeParser(Engine& e, TextView text, int maxNesting) : e_(e), s_(e.diff), text_(text), maxNesting_(maxNesting) {}

  int32_t run() {
    next();
    const int32_t root = expression();
    return s_.errorFlag ? 0 : root;
  }

 private:
  Engine& e_;
  DiffState& s_;
  TextView text_;
  int maxNesting_;
  int nesting_ = 0;
  size_t at_ = 0;     // index of the next character
  int32_t type_ = 0;  // current token
  TextView lexeme_;   // its text

  bool failed() const { return s_.errorFlag != kDiffOk; }

  void fail(TextView message, int32_t evalCode) {
    if (failed())
      return;
    diffError(e_, message);
    setErrorCode(e_, evalCode);
  }

  // The index after the number literal at i, or npos when it is malformed.
  size_t numberEnd(size_t i) const {
    const LiteralScan scan = scanDecimal(text_, i);
    return scan.wellFormed ? scan.end : TextView::npos;
  }

  size_t skipBlanks(size_t i) const {
    while (i < text_.size() && (text_[i] == u' ' || text_[i] == u'\t')) ++i;
    return i;
  }

  // A "-" before a number that is raised to a power is the negation mark,
  // as in the evaluator: -2^2 is -(2^2).
  bool raisedToPower(size_t digitsAt) const {
    const size_t end = numberEnd(digitsAt);
    if (end == TextView::npos)
      return false;
    const size_t i = skipBlanks(end);
    return i < text_.size() && text_[i] == u'^';
  }

  // GetLex: the next token into type_ and lexeme_.
  void next() {
    int32_t type = kOpEnd;
    lexeme_ = {};
    at_ = skipBlanks(at_);
    if (!failed() && at_ < text_.size()) {
      const size_t start = at_;
      const char16_t c = text_[at_];
      switch (c) {
        case u'(':
          type = kOpOpen;
          ++at_;
          break;
        case u')':
          type = kOpClose;
          ++at_;
          break;
        case u'+':
          type = kOpAdd;
          ++at_;
          break;
        case u'*':
          type = kOpMul;
          ++at_;
          break;
        case u'/':
          type = kOpDiv;
          ++at_;
          break;
        case u'^':
          type = kOpPower;
          ++at_;
          break;
        case u'-':
          ++at_;
          type = kOpSub;
          if (at_ < text_.size() && isDigit(text_[at_]) && (s_.prevType == kOpEnd || s_.prevType == kOpOpen) &&
              !raisedToPower(at_))
            type = readNumber(start, at_);
          break;
        default:
          if (isIdentStart(c)) {
            ++at_;
            while (at_ < text_.size() && isNameChar(text_[at_])) ++at_;
            type = nameType(text_.substr(start, at_ - start));
          } else if (isDigit(c)) {
            type = readNumber(start, at_);
          } else {
            fail(u"Unknown character.", kErrTokenMatch);
          }
          break;
      }
      lexeme_ = text_.substr(start, at_ - start);
    }
    if (failed())
      type = kOpEnd;
    s_.pos = int32_t(at_ + 1);
    s_.prevPrevType = s_.prevType;
    s_.prevType = type;
    type_ = type;
  }

  // GetNumber from digitsAt; the token starts at start (a "-" may lead).
  int32_t readNumber(size_t start, size_t digitsAt) {
    const size_t end = numberEnd(digitsAt);
    if (end == TextView::npos) {
      at_ = text_.size();
      fail(u"Wrong number.", 2);
      return kOpEnd;
    }
    (void)start;
    at_ = end;
    return kOpNumber;
  }

  // NewNode with its fields; 0 when the table is full.
  int32_t newNode(int32_t op, TextView con, int32_t l, int32_t r) {
    if (failed())
      return 0;
    if (s_.index >= kMaxDiffNodes) {
      fail(u"Too long formula", 1);
      return 0;
    }
    DiffNode& n = s_.nodes[size_t(++s_.index)];
    n.opCode = op;
    n.con.assign(con);
    if (op == kOpNumber)
      for (char16_t& ch : n.con)
        if (ch == u',')
          ch = u'.';
    n.l = l;
    n.r = r;
    return s_.index;
  }

  bool enterBrackets() {
    ++s_.bc;
    if (++nesting_ > maxNesting_) {
      fail(u"Too deep nesting of brackets.", kErrTokenMatch);
      return false;
    }
    return true;
  }

  // GetTreeExpr: terms joined by "+" and "-", up to the end or a ")".
  int32_t expression() {
    int32_t left = term();
    while (type_ == kOpAdd || type_ == kOpSub) {
      const int32_t op = type_;
      next();
      const int32_t right = term();
      left = newNode(op, {}, left, right);
    }
    if (type_ == kOpClose) {
      --s_.bc;
      --nesting_;
      next();
    } else if (type_ != kOpEnd) {
      fail(u"", kErrTokenMatch);
    }
    return left;
  }

  // GetOp: factors joined by "*" and "/"; a leading sign right after the
  // start or a "(" applies to the whole term.
  int32_t term() {
    bool negate = false;
    if ((type_ == kOpSub || type_ == kOpAdd) && (s_.prevPrevType == kOpEnd || s_.prevPrevType == kOpOpen)) {
      negate = type_ == kOpSub;
      next();
    }
    int32_t left = factor();
    while (type_ == kOpMul || type_ == kOpDiv) {
      const int32_t op = type_;
      next();
      const int32_t right = factor();
      left = newNode(op, {}, left, right);
    }
    if (negate)
      left = newNode(kOpNegate, {}, left, 0);
    return left;
  }

  // GetSingleOp: a bracket, a number, a variable or a function call, then
  // any number of "^" exponents (a number or a variable, optionally in one
  // pair of brackets).
  int32_t factor() {
    int32_t node = 0;
    if (type_ == kOpOpen) {
      if (!enterBrackets())
        return 0;
      next();
      node = expression();
    } else if (type_ == kOpNumber || type_ == kOpVariable) {
      node = newNode(type_, lexeme_, 0, 0);
      next();
    } else if (isDiffFunction(type_)) {
      node = newNode(type_, lexeme_, 0, 0);
      next();
      if (type_ != kOpOpen) {
        fail(u"GetSingleOp: Function: Wrong brackets", 4);
        return node;
      }
      if (!enterBrackets())
        return node;
      next();
      const int32_t argument = expression();
      if (node)
        s_.nodes[size_t(node)].l = argument;
    } else {
      fail(u"GetSingleOp: Function: Wrong first operand", 3);
      return 0;
    }
    while (type_ == kOpPower && !failed()) {
      next();
      const bool bracketed = type_ == kOpOpen;
      if (bracketed) {
        ++s_.bc;
        next();
      }
      if (type_ != kOpNumber && type_ != kOpVariable) {
        fail(u"GetSingleOp: Power Symbol: lgtNum <> 7", 5);
        return node;
      }
      const int32_t exponent = newNode(type_, lexeme_, 0, 0);
      next();
      if (bracketed) {
        if (type_ != kOpClose) {
          fail(u"GetSingleOp: Power Symbol: lgtNum <> 2 - bracket =" + intText(type_), 5);
          return node;
        }
        --s_.bc;
        next();
      }
      node = newNode(kOpPower, {}, node, exponent);
    }
    return node;
  }
};

constexpr const char16_t* kOpNames[] = {
    u"",       u"(",  u")",   u"+",   u"-",   u"*",    u"/",  u"#",   u"f(x)",   u"",       u"cos",
    u"sin",    u"tg", u"ctg", u"abs", u"sgn", u"sqrt", u"ln", u"exp", u"arcsin", u"arccos", u"arctg",
    u"arcctg", u"sh", u"ch",  u"th",  u"cth", u"",     u"",   u"",    u"",       u"^",
};

}  // namespace

void resetDiffNodes(Engine& e) {
  DiffState& s = e.diff;
  if (s.nodes.size() != size_t(kMaxDiffNodes) + 1)
    s.nodes.resize(size_t(kMaxDiffNodes) + 1);
  s.index = 0;
  s.formulaRoot = 0;
  s.derivativeRoot = 0;
}

int32_t parseDiffTree(Engine& e, TextView text, int maxNesting) {
  DiffState& s = e.diff;
  if (s.nodes.size() != size_t(kMaxDiffNodes) + 1)
    resetDiffNodes(e);
  s.errorFlag = kDiffOk;
  s.bc = 0;
  s.prevPrevType = 0;
  s.prevType = 0;
  s.pos = 1;
  if (diffTracing(e))
    diffTrace(e, u"GetTreeExpr", u"IN_, Expr=" + Text(text));
  const int32_t root = TreeParser(e, text, maxNesting).run();
  if (diffTracing(e))
    diffTrace(e, u"GetTreeExpr", u"OUT 1, Result=" + intText(root) + u", bc=" + intText(s.bc));
  return root;
}

TextView diffOpName(int32_t op) {
  if (op < 0 || op >= int32_t(std::size(kOpNames)))
    return {};
  return kOpNames[op];
}

}  // namespace quadrel
