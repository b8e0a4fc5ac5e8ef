#include "core/eval/compiled_formula.h"

#include <cmath>

#include "core/diag/message_channel.h"
#include "core/engine.h"
#include "core/eval/builtins.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/evaluator.h"
#include "core/eval/lexer.h"
#include "core/eval/parser_internal.h"
#include "core/eval/user_functions.h"
#include "core/text/number_reader.h"
#include "core/text/number_text.h"

namespace quadrel {

Text abscissaText(double x) { return u"(" + trimNumberText(fixedText(x, kFormulaDecimals)) + u")"; }

bool abscissaValue(double x, double& value) {
  if (std::isinf(x))
    return false;
  if (std::fabs(x) < 4e5) {
    // N = x * 10^10 rounded half to even, computed exactly: 10^10 has 24
    // significant bits, so each half of a 26-bit split of x times it is exact.
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    constexpr double kScale = 1e10;
    const double c = kSplitter * x;
    const double hi = c - (c - x), lo = x - hi;
    const double a = hi * kScale, b = lo * kScale;
    const double s = a + b, bv = s - a;
    const double err = (a - (s - bv)) + (b - bv);  // s + err == a + b exactly
    double n = std::nearbyint(s);
    const double d = s - n;
    if (d == 0.5 && err > 0)
      n += 1;
    else if (d == -0.5 && err < 0)
      n -= 1;
    // The text holds |N| / 10^10 with the sign of x (also "-0" for a tiny
    // negative x); the evaluator reads the digits correctly rounded and
    // negates them, which is this division.
    value = n == 0 ? std::copysign(0.0, x) : n / kScale;
    return true;
  }
  // Large (or NaN, which reads as 0): the text itself.
  const Text t = trimNumberText(fixedText(x, kFormulaDecimals));
  TextView digits = t;
  const bool negative = !digits.empty() && digits.front() == u'-';
  if (negative)
    digits.remove_prefix(1);
  double v;
  decimalValue(digits, v);  // NaN's text reads as 0
  value = negative ? -v : v;
  return true;
}

std::vector<TextView> splitAtVariable(TextView formula, TextView variable) {
  std::vector<TextView> pieces;
  size_t last = 0;
  if (!variable.empty()) {
    for (size_t i = 0; i < formula.size();) {
      const TokenSpan t = scanToken(formula, i);
      if (t.kind == Lexeme::Identifier && formula.substr(t.start, t.end - t.start) == variable) {
        pieces.push_back(formula.substr(last, t.start - last));
        last = t.end;
      }
      i = t.end;
    }
  }
  pieces.push_back(formula.substr(last));
  return pieces;
}

namespace {

enum class Op : uint8_t {
  Constant,
  Abscissa,
  Negate,
  Add,
  Subtract,
  Multiply,
  Power,
  Combine,
  Function,
  Aggregate,
  Not
};

struct Instruction {
  Op op;
  Word word = Word::None;
  uint32_t symbol = 0;
  int32_t count = 0;  // function id, or number of aggregate values
  double value = 0.0;
};

struct Token {
  TokKind kind;
  Word word;
  uint32_t symbol;
  int functionId;
  double value;
  bool abscissa;  // the substituted "(" number ")"
};

// Deeper formulas take the text path: the substitution adds a level, and the
// parser's own limit must be met exactly as the text meets it.
constexpr int kMaxCompiledDepth = kMaxParserDepth / 2;

bool isSymbol(const Token& t, char16_t c) { return t.kind == TokKind::Symbol && !t.abscissa && t.symbol == sym(c); }

// The operator rows of the parser: the highest level an operator applies at
// and the level of its right operand.
bool operatorLevels(const Token& t, int& maxLevel, int& rightLevel) {
  if (t.abscissa)
    return false;
  if (t.kind == TokKind::Word) {
    switch (t.word) {
      case Word::Mod: maxLevel = 8, rightLevel = 9; return true;
      case Word::And: maxLevel = 5, rightLevel = 6; return true;
      case Word::Or: maxLevel = 4, rightLevel = 5; return true;
      case Word::Xor: maxLevel = 3, rightLevel = 4; return true;
      default: return false;
    }
  }
  if (t.kind != TokKind::Symbol)
    return false;
  switch (t.symbol) {
    case sym(u'^'): maxLevel = 11, rightLevel = 12; return true;
    case sym(u'*'):
    case sym(u'/'): maxLevel = 10, rightLevel = 11; return true;
    case sym(u'\\'): maxLevel = 9, rightLevel = 10; return true;
    case sym(u'+'):
    case sym(u'-'): maxLevel = 7, rightLevel = 8; return true;
    case sym(u'='):
    case sym(u'<'):
    case sym(u'>'):
    case sym(u'<', u'>'):
    case sym(u'<', u'='):
    case sym(u'>', u'='): maxLevel = 6, rightLevel = 7; return true;
    default: return false;
  }
}

// Precedence climbing over the tokens, step for step as the parser reads
// them, emitting a stack program. Anything the parser would fail on whatever
// the abscissa, and anything not plainly numeric, refuses the formula.
class Compiler {
 public:
  Compiler(const std::vector<Token>& tokens, std::vector<Instruction>& code) : t_(tokens), code_(code) {}

  bool run(int& maxStack) {
    level(1);
    if (ok_ && current().kind != TokKind::End)
      ok_ = false;  // tokens left over: code 2 at every point
    maxStack = maxStack_;
    return ok_;
  }

 private:
  const Token& current() const { return t_[pos_]; }
  void advance() {
    if (pos_ + 1 < t_.size())
      ++pos_;
  }
  void emit(Instruction in, int stackChange) {
    code_.push_back(in);
    stack_ += stackChange;
    if (stack_ > maxStack_)
      maxStack_ = stack_;
  }
  void expectClose() {
    if (!isSymbol(current(), u')'))
      ok_ = false;
    advance();
  }
  // The "(" after a function name or aggregate word: either a bracket, or
  // the substituted abscissa, which brings its own brackets.
  bool openArgument(bool& isAbscissa) {
    isAbscissa = current().abscissa;
    if (isAbscissa) {
      emit({Op::Abscissa}, 1);
      advance();
      return true;
    }
    if (!isSymbol(current(), u'('))
      return ok_ = false;
    advance();
    return true;
  }

  void level(int lv) {
    if (!ok_)
      return;
    if (++depth_ > kMaxCompiledDepth) {
      ok_ = false;
      return;
    }
    const Token tok = current();
    if (tok.abscissa) {
      emit({Op::Abscissa}, 1);
      advance();
    } else {
      switch (tok.kind) {
        case TokKind::Num:
        case TokKind::Hex:
        case TokKind::Bin:
        case TokKind::Const:
          emit({Op::Constant, Word::None, 0, 0, tok.value}, 1);
          advance();
          break;
        case TokKind::Id: {
          advance();
          bool abscissa;
          if (!openArgument(abscissa))
            break;
          if (!abscissa) {
            level(1);
            expectClose();
          }
          emit({Op::Function, Word::None, 0, tok.functionId}, 0);
          break;
        }
        case TokKind::Word:
          if (isAggregate(tok.word)) {
            advance();
            bool abscissa;
            if (!openArgument(abscissa))
              break;
            int32_t count = 1;
            if (!abscissa) {
              level(1);
              while (ok_ && isSymbol(current(), u';')) {
                advance();
                level(1);
                ++count;
              }
              expectClose();
            }
            emit({Op::Aggregate, tok.word, 0, count}, 1 - count);
          } else if (tok.word == Word::Not) {
            advance();
            level(6);
            emit({Op::Not}, 0);
          } else {
            ok_ = false;  // matrix functions, eqv, imp
          }
          break;
        case TokKind::Symbol:
          if (tok.symbol == sym(u'-')) {
            advance();
            level(11);
            emit({Op::Negate}, 0);
          } else if (tok.symbol == sym(u'+')) {
            advance();
            level(11);
          } else if (tok.symbol == sym(u'(')) {
            advance();
            level(1);
            expectClose();
          } else {
            ok_ = false;
          }
          break;
        default: ok_ = false; break;  // end of formula, matrices
      }
    }
    int maxLevel, rightLevel;
    while (ok_ && current().kind != TokKind::End && !isSymbol(current(), u'(') && !isSymbol(current(), u')') &&
           operatorLevels(current(), maxLevel, rightLevel) && maxLevel >= lv) {
      const Token op = current();
      advance();
      level(rightLevel);
      Instruction in{Op::Combine, op.kind == TokKind::Word ? op.word : Word::None, op.symbol};
      if (op.kind == TokKind::Symbol) {
        switch (op.symbol) {
          case sym(u'+'): in.op = Op::Add; break;
          case sym(u'-'): in.op = Op::Subtract; break;
          case sym(u'*'): in.op = Op::Multiply; break;
          case sym(u'^'): in.op = Op::Power; break;
          default: break;
        }
      }
      emit(in, -1);
    }
    --depth_;
  }

  const std::vector<Token>& t_;
  std::vector<Instruction>& code_;
  size_t pos_ = 0;
  int depth_ = 0, stack_ = 0, maxStack_ = 0;
  bool ok_ = true;
};

// Whole identifiers of the formula (other than the variable) that name a user
// function: those are expanded as text, so such formulas take the text path.
bool namesUserFunction(const Engine& e, TextView formula, TextView variable) {
  const auto& functions = e.functions.entries();
  if (functions.empty())
    return false;
  for (size_t i = 0; i < formula.size();) {
    const TokenSpan t = scanToken(formula, i);
    const TextView name = formula.substr(t.start, t.end - t.start);
    if (t.kind == Lexeme::Identifier && name != variable)
      for (const NamedEntry& f : functions)
        if (equalsIgnoreCase(f.name, name))
          return true;
    i = t.end;
  }
  return false;
}

}  // namespace

// The compiled form, with an engine of its own: the built-ins and operators
// it calls raise their failures there, never on the caller's engine.
struct FormulaSampler::Program {
  explicit Program(Engine& e) : scratch(e.platform) {}

  Engine scratch;
  std::vector<Instruction> code;
  std::vector<double> stack;
  std::vector<double> aggregate;

  // Lexes the pieces with the real lexer (variables copied in) and the
  // abscissa between them; false when the formula cannot be compiled.
  bool tokenize(const Engine& e, const std::vector<TextView>& pieces, std::vector<Token>& tokens) {
    scratch.variables = e.variables;
    const int rnd = findFunction(u"rnd");
    LexerState& lx = scratch.lexer;
    std::vector<Text> elements;
    for (size_t p = 0; p < pieces.size(); ++p) {
      if (p)
        tokens.push_back({TokKind::Symbol, Word::None, 0, -1, 0.0, true});
      lx.start();
      lx.expression.assign(pieces[p]);
      for (char16_t& c : lx.expression)
        if (c == u',')
          c = u'.';
      clearErrorCode(scratch);
      for (nextToken(scratch); lx.kind != TokKind::End; nextToken(scratch)) {
        if (lx.kind == TokKind::Matrix || (lx.kind == TokKind::Id && (lx.functionId < 0 || lx.functionId == rnd)))
          return false;
        Token t{lx.kind, lx.word, lx.symbol, lx.functionId, lx.hasValue ? lx.value : 0.0, false};
        tokens.push_back(t);
        elements.emplace_back(lx.element());
      }
      if (scratch.errors.code != kNoError)
        return false;
    }
    tokens.push_back({TokKind::End, Word::None, 0, -1, 0.0, false});
    // Values of "&", "!" and "#" tokens, as the parser computes them.
    size_t k = 0;
    for (Token& t : tokens) {
      if (t.abscissa || t.kind == TokKind::End)
        continue;
      const Text& element = elements[k++];
      clearErrorCode(scratch);
      if (t.kind == TokKind::Const) {
        t.value = applyFunction(scratch, findFunction(element), 0.0);
      }
      if (scratch.errors.code != kNoError)
        return false;
    }
    return true;
  }

  // The value at abscissa x; false when anything failed (the point then
  // takes the text path, which reports it).
  bool run(double x, int32_t trueValue, double& result) {
    scratch.eval.trueValue = trueValue;
    clearErrorCode(scratch);
    double* sp = stack.data();
    bool fault = false;
    for (const Instruction& in : code) {
      switch (in.op) {
        case Op::Constant: *sp++ = in.value; break;
        case Op::Abscissa: *sp++ = x; break;
        case Op::Negate: sp[-1] = -sp[-1]; break;
        case Op::Add: --sp, sp[-1] = sp[-1] + sp[0]; break;
        case Op::Subtract: --sp, sp[-1] = sp[-1] - sp[0]; break;
        case Op::Multiply: --sp, sp[-1] = sp[-1] * sp[0]; break;
        case Op::Power: --sp, sp[-1] = std::pow(sp[-1], sp[0]); break;
        case Op::Combine: --sp, sp[-1] = combineNumbers(scratch, in.word, in.symbol, sp[-1], sp[0]); break;
        case Op::Function: sp[-1] = applyFunction(scratch, in.count, sp[-1]); break;
        case Op::Aggregate: {
          sp -= in.count;
          aggregate.assign(sp, sp + in.count);
          *sp++ = aggregateValue(in.word, aggregate.data(), aggregate.size());
          break;
        }
        case Op::Not: {
          const double t = std::trunc(sp[-1]);
          if (!(t >= -2147483648.0 && t <= 2147483647.0))
            fault = true;
          else
            sp[-1] = double(~int32_t(t));
          break;
        }
      }
    }
    result = stack[0];
    if (fault || scratch.errors.code != kNoError || result == HUGE_VAL) {
      clearErrorCode(scratch);
      scratch.errors.log.clear();
      return false;
    }
    return true;
  }
};

FormulaSampler::FormulaSampler(Engine& e, TextView formula, TextView variable, SamplerPath path)
    : e_(e), formula_(formula), variable_(variable), path_(path) {
  pieces_ = splitAtVariable(formula_, variable_);
}

FormulaSampler::~FormulaSampler() = default;

void FormulaSampler::compileIfStale() {
  if (path_ == SamplerPath::TextOnly)
    return;
  if (variablesGeneration_ == e_.variables.generation() && functionsGeneration_ == e_.functions.generation())
    return;
  variablesGeneration_ = e_.variables.generation();
  functionsGeneration_ = e_.functions.generation();
  program_.reset();
  if (namesUserFunction(e_, formula_, variable_))
    return;
  auto program = std::make_unique<Program>(e_);
  std::vector<Token> tokens;
  if (!program->tokenize(e_, pieces_, tokens))
    return;
  int maxStack = 0;
  if (!Compiler(tokens, program->code).run(maxStack))
    return;
  program->stack.resize(size_t(maxStack) + 1);
  program_ = std::move(program);
}

bool FormulaSampler::compiled() {
  compileIfStale();
  return program_ != nullptr;
}

SampleOutcome FormulaSampler::textPath(double x) {
  text_.clear();
  const Text xText = abscissaText(x);
  for (size_t p = 0; p < pieces_.size(); ++p) {
    if (p)
      text_.append(xText);
    text_.append(pieces_[p]);
  }
  const EvalOutcome outcome = quadrel::evaluate(e_, text_, false);
  if (!outcome.ok())
    return {outcome.error, false, 0.0};
  return {outcome.isMatrix() ? 1 : 0, true, outcome.value};
}

SampleOutcome FormulaSampler::evaluate(double x) {
  lastX_ = x;
  lastWasFast_ = false;
  compileIfStale();
  double at, value;
  if (program_ && !(e_.messages.showLevel & kShowTrace) && abscissaValue(x, at) &&
      program_->run(at, e_.eval.trueValue, value)) {
    // What a successful e_eval of a number leaves behind.
    ++e_.eval.evaluations;
    clearErrorCode(e_);
    e_.eval.resultType = 0;
    e_.eval.inProgress = false;
    lastWasFast_ = true;
    return {0, true, value};
  }
  return textPath(x);
}

void FormulaSampler::finish() {
  if (!lastWasFast_)
    return;
  textPath(lastX_);
  --e_.eval.evaluations;
  lastWasFast_ = false;
}

}  // namespace quadrel
