// Lexer step, precedence-climbing parser and evaluator in one pass: no tree
// is built, each operator is applied as soon as its right operand is read.
#include <cmath>

#include "core/engine.h"
#include "core/eval/builtins.h"
#include "core/eval/evaluator.h"
#include "core/eval/matrix_operands.h"
#include "core/eval/operator_table.h"
#include "core/eval/parser_internal.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/ground/legacy_names.h"
#include "core/limits.h"
#include "core/text/bounded_log.h"
#include "core/text/number_reader.h"
#include "core/text/number_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

// The failure reports of the lexer, out of its hot path.
[[gnu::noinline]] void reportUndefinedFunction(Engine& e, TextView name) {
  Text extra = u"Undefined Function = ";
  extra.append(name);
  extra.append(u"\r\n");
  raise(e, kErrUndefinedFunction, u"e_function", 1140, extra);
}

[[gnu::noinline]] void reportMalformedNumber(Engine& e, TextView literal) {
  raise(e, kErrParserSyntax, u"e_nxt", 710, u"Malformed number = '" + Text(literal) + u"'\r\n");
}

void classifyIdentifier(Engine& e, LexerState& lx, TextView name) {
  if (Word w = reservedWord(name); w != Word::None) {
    lx.kind = TokKind::Word;
    lx.word = w;
    return;
  }
  if (const NamedEntry* v = e.variables.find(name)) {
    lx.kind = TokKind::Num;
    lx.hasValue = true;
    lx.value = v->value;
    lx.elementFromValue = true;
    return;
  }
  double c;
  if (findConstant(name, c)) {
    lx.kind = TokKind::Num;
    lx.hasValue = true;
    lx.value = c;
    lx.elementFromValue = true;
    return;
  }
  lx.kind = TokKind::Id;
  lx.functionId = findFunction(name);
  // The probe of an unknown name reports it, unless an earlier failure of
  // this evaluation is pending: the first failure is the one that stands.
  if (lx.functionId < 0 && e.errors.code == kNoError) [[unlikely]]
    reportUndefinedFunction(e, name);
}

// A number literal's kind and value; a malformed one is a syntax error of
// the token, so the formula gives no value.
void readLiteral(Engine& e, LexerState& lx, const TokenSpan& t) {
  const TextView literal = TextView(lx.expression).substr(t.start, t.end - t.start);
  bool ok;
  switch (t.kind) {
    case Lexeme::Hex:
      lx.kind = TokKind::Hex;
      ok = hexValue(literal, lx.value);
      break;
    case Lexeme::Bin:
      lx.kind = TokKind::Bin;
      ok = binaryValue(literal, lx.value);
      break;
    default:
      lx.kind = TokKind::Num;
      ok = decimalValue(literal, lx.value);
      break;
  }
  lx.hasValue = true;
  if (!ok && e.errors.code == kNoError) [[unlikely]]
    reportMalformedNumber(e, literal);
}

}  // namespace

void nextToken(Engine& e) {
  LexerState& lx = e.lexer;
  ++lx.calls;
  lx.kind = TokKind::End;
  lx.word = Word::None;
  lx.symbol = 0;
  lx.functionId = -1;
  lx.hasValue = false;
  lx.matrixSuffix = 0;
  lx.elementOwned = lx.elementFromValue = false;
  lx.elemLength = 0;
  lx.rulerPosition = lx.position;

  const Text& s = lx.expression;
  const size_t n = s.size();
  size_t i = lx.index;
  TokenSpan t;
  if (i < n) {
    t = scanToken(s, i);
    if (t.kind == Lexeme::White) {
      lx.position += int64_t(t.end - t.start);
      i = t.end;
      if (i < n)
        t = scanToken(s, i);
    }
  }
  if (i >= n) {
    ++lx.position;
    lx.index = n;
    lx.elemStart = n;
    if (e.messages.showLevel & kShowTrace)
      traceToken(e);
    return;
  }
  lx.position += int64_t(t.end - t.start);
  lx.index = t.end;
  lx.elemStart = t.start;
  lx.elemLength = t.end - t.start;
  switch (t.kind) {
    case Lexeme::Matrix:
      lx.kind = TokKind::Matrix;
      lx.matrixSuffix = t.matrixSuffix;
      if (t.matrixSuffix)
        --lx.elemLength;  // the element is the bracketed name alone
      break;
    case Lexeme::Const: lx.kind = TokKind::Const; break;
    case Lexeme::Hex:
    case Lexeme::Bin:
    case Lexeme::Number: readLiteral(e, lx, t); break;
    case Lexeme::Identifier: classifyIdentifier(e, lx, TextView(s).substr(t.start, t.end - t.start)); break;
    case Lexeme::White:  // not after the skip above
    case Lexeme::Symbol:
      lx.kind = TokKind::Symbol;
      lx.symbol = sym(s[t.start], t.end - t.start > 1 ? s[t.start + 1] : u'\0');
      lx.elemLength = 0;  // a symbol's element is its type
      break;
  }
  if (e.messages.showLevel & kShowTrace)
    traceToken(e);
}

namespace {

bool isSymbol(const LexerState& lx, uint32_t s) { return lx.kind == TokKind::Symbol && lx.symbol == s; }

}  // namespace

void matchSymbol(Engine& e, char16_t expected) {
  LexerState& lx = e.lexer;
  if (e.errors.code == kNoError && !isSymbol(lx, sym(expected))) {
    Text extra = u"Expected ";
    extra.push_back(expected);
    extra.append(u", got '");
    extra.append(lx.element());
    extra.append(u"'\r\n");
    raise(e, kErrTokenMatch, u"e_match", 760, extra);
  }
  nextToken(e);
}

namespace {

// Truncates toward zero to a 32-bit integer; false when it does not fit.
bool toInt32(double v, int32_t& out) {
  double t = std::trunc(v);
  if (!(t >= -2147483648.0 && t <= 2147483647.0))
    return false;
  out = int32_t(t);
  return true;
}

void rangeError(Engine& e, TextView what, double a, double b) {
  Text extra(what);
  extra.append(u": Operand= ");
  extra.append(fixedText(a));
  extra.append(u", Operand= ");
  extra.append(fixedText(b));
  extra.append(u" (beyond 32 bits)\r\n");
  raise(e, kErrInvalidArgument, u"e_prs", 820, extra);
}

void divisionByZero(Engine& e, TextView procedure, double left) {
  Text extra = u"Dividend = " + fixedText(left) + u", Divisor = 0\r\n";
  raise(e, kErrDivisionByZero, procedure, 870, extra);
}

}  // namespace

double combineNumbers(Engine& e, Word word, uint32_t op, double l, double r) {
  if (word != Word::None) {
    switch (word) {
      case Word::Mod: {
        int32_t a, b;
        if (!toInt32(l, a) || !toInt32(r, b)) {
          rangeError(e, u"mod", l, r);
          return 0.0;
        }
        if (b == 0) {
          divisionByZero(e, u"e_prs", l);
          return 0.0;
        }
        return b == -1 ? 0.0 : double(a % b);
      }
      case Word::And: return (l != 0 && r != 0) ? 1.0 : 0.0;
      case Word::Or: return (l != 0 || r != 0) ? 1.0 : 0.0;
      default: return ((l != 0) != (r != 0)) ? 1.0 : 0.0;  // xor
    }
  }
  const double t = double(e.eval.trueValue);
  switch (op) {
    case sym(u'^'): return std::pow(l, r);
    case sym(u'*'): return l * r;
    case sym(u'/'):
      if (r == 0) {
        divisionByZero(e, u"CalcMatrixDivMult", l);
        return 0.0;
      }
      return l / r;
    case sym(u'\\'): {
      if (r == 0) {
        divisionByZero(e, u"e_prs", l);
        return 0.0;
      }
      int32_t q;
      if (!toInt32(l / r, q)) {
        rangeError(e, u"\\", l, r);
        return 0.0;
      }
      return double(q);
    }
    case sym(u'+'): return l + r;
    case sym(u'-'): return l - r;
    case sym(u'='): return l == r ? t : 0.0;
    case sym(u'<'): return l < r ? t : 0.0;
    case sym(u'>'): return l > r ? t : 0.0;
    case sym(u'<', u'>'): return l != r ? t : 0.0;
    case sym(u'<', u'='): return l <= r ? t : 0.0;
    default: return l >= r ? t : 0.0;  // ">="
  }
}

namespace {

void syntaxError(Engine& e) {
  if (e.errors.code != kNoError)
    return;
  // Reported only when the parser's messages are asked for.
  const bool told = (e.messages.showLevel & kShowParser) != 0;
  fail(e, {kErrParserSyntax, u"e_prs", 780, u"", FailureModule::Evaluator, told}, Pending::Stands);
  if (told) {
    Text msg = u"Procedure: e_prs\r\nSyntax error, token = '";
    msg.append(e.lexer.element());
    msg.append(u"'\r\n\r\nDebug:\r\n");
    msg.append(e.errors.log);
    e.messages.send(e.platform, msg, kEvaluatorErrorTitle, e.messages.showLevel != 0);
  }
}

// A number operand's value; a matrix where a number is expected fails.
double numberOf(Engine& e, const Operand& o) { return o.isMatrix() ? matrixAsNumber(e, o) : o.value; }

double parseAggregate(Engine& e, Word w) {
  std::vector<double>& values = e.eval.aggregateValues;
  const size_t base = values.size();
  values.push_back(numberOf(e, parseLevel(e, kExpressionLevel)));
  while (isSymbol(e.lexer, sym(u';'))) {
    matchSymbol(e, u';');
    values.push_back(numberOf(e, parseLevel(e, kExpressionLevel)));
  }
  double v = aggregateValue(w, values.data() + base, values.size() - base);
  values.resize(base);
  return v;
}

}  // namespace

Operand parseLevel(Engine& e, int level) {
  EvalState& ev = e.eval;
  LexerState& lx = e.lexer;
  if (ev.depth >= kMaxParserDepth) {
    syntaxError(e);
    return {};
  }
  ++ev.depth;
  if (e.messages.showLevel & kShowTrace)
    traceParse(e, level, true);

  Operand v;
  switch (lx.kind) {
    case TokKind::Hex:
    case TokKind::Bin:
    case TokKind::Num:
      v = Operand::number(lx.value);
      nextToken(e);
      break;
    case TokKind::Matrix: v = matrixOperand(e); break;
    case TokKind::Id: {
      const int function = lx.functionId;
      nextToken(e);
      matchSymbol(e, u'(');
      const Operand arg = parseLevel(e, kExpressionLevel);
      matchSymbol(e, u')');
      v = Operand::number(applyFunction(e, function, numberOf(e, arg)));
      break;
    }
    case TokKind::Const:
      v = Operand::number(applyFunction(e, findFunction(lx.element()), 0.0));
      nextToken(e);
      break;
    case TokKind::Word:
      if (isAggregate(lx.word)) {
        const Word w = lx.word;
        nextToken(e);
        matchSymbol(e, u'(');
        v = Operand::number(parseAggregate(e, w));
        matchSymbol(e, u')');
      } else if (isMatrixFunction(lx.word)) {
        v = matrixFunction(e);
      } else if (lx.word == Word::Not) {
        nextToken(e);
        const double operand = numberOf(e, parseLevel(e, kNotOperandLevel));
        int32_t i;
        if (!toInt32(operand, i)) {
          rangeError(e, u"not", operand, 0);
        } else {
          v = Operand::number(double(~i));
        }
      } else {
        syntaxError(e);
      }
      break;
    case TokKind::Symbol:
      if (lx.symbol == sym(u'-')) {
        nextToken(e);
        v = parseLevel(e, kSignOperandLevel);
        v = v.isMatrix() ? matrixScale(e, v, -1.0) : Operand::number(-v.value);
      } else if (lx.symbol == sym(u'+')) {
        nextToken(e);
        v = parseLevel(e, kSignOperandLevel);
      } else if (lx.symbol == sym(u'(')) {
        nextToken(e);
        v = parseLevel(e, kExpressionLevel);
        matchSymbol(e, u')');
      } else {
        syntaxError(e);
      }
      break;
    case TokKind::End: syntaxError(e); break;
  }

  OperatorRow row;
  while (e.errors.code == kNoError && lx.kind != TokKind::End && !isSymbol(lx, sym(u'(')) && !isSymbol(lx, sym(u')')) &&
         operatorRow(lx.kind, lx.word, lx.symbol, row) && row.maxLevel >= level) {
    const Word word = lx.kind == TokKind::Word ? lx.word : Word::None;
    const uint32_t op = lx.symbol;
    nextToken(e);
    const Operand r = parseLevel(e, row.rightLevel);
    if (v.isMatrix() || r.isMatrix()) {
      v = matrixCombine(e, word, op, v, r);
    } else {
      v = Operand::number(combineNumbers(e, word, op, v.value, r.value));
    }
  }

  if (e.messages.showLevel & kShowTrace)
    traceParse(e, level, false);
  --ev.depth;
  return v;
}

void traceToken(Engine& e) {
  LexerState& lx = e.lexer;
  Text t = u"e_nxt(" + intText(int64_t(lx.calls)) + u") type=" + lx.tokenType() + u" element=";
  t.append(lx.element());
  // A trace line per token: the rest of a long formula is cut, as in a report.
  t.append(u" remaining=");
  t.append(shortened(lx.remaining(), 2 * kReportQuoteChars));
  t.append(u" e_error=" + intText(e.errors.code));
  e.messages.send(e.platform, t, kEvaluatorTraceTitle, false);
}

void traceParse(Engine& e, int level, bool enter) {
  Text t = u"--------------------||| e_prs(" + intText(level) + (enter ? u") ENTER" : u") EXIT") +
           u" |||--------------- depth=" + intText(e.eval.depth) + u" type=" + e.lexer.tokenType() + u" element=";
  t.append(e.lexer.element());
  t.append(u" e_error=" + intText(e.errors.code));
  e.messages.send(e.platform, t, kEvaluatorTraceTitle, false);
}

}  // namespace quadrel
