// Matrix operands in formulas. The named-matrix store does not exist yet, so
// every matrix lookup reports "Matrix not defined/found" (code 14), exactly
// as for a name that is not in the store; no matrix value is ever produced.
#include "core/eval/matrix_operands.h"

#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/evaluator.h"
#include "core/eval/parser_internal.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

// Looks a matrix up by name; reports a missing one the way the store does.
bool findNamedMatrix(Engine& e, TextView name) {
  Text extra = u"MatrName = ";
  extra.append(toLower(trimBlanks(name)));
  raise(e, kErrMatrixNotFound, u"FindMatrix", 395, extra);
  return false;
}

bool findMatrixByHandle(Engine& e, double handle) {
  Text extra = u"Matrix handle = ";
  extra.append(fixedText(handle, 0));
  raise(e, kErrMatrixNotFound, u"CalcMatrFunct", 1330, extra);
  return false;
}

}  // namespace

Operand matrixOperand(Engine& e) {
  LexerState& lx = e.lexer;
  Text name(lx.element());
  if (!findNamedMatrix(e, name)) {
    addReport(e, u"e_prs", 690, u"Matrix = " + name + u"\r\n");
    nextToken(e);
    return Operand::number(double(e.errors.code));
  }
  nextToken(e);
  return {};
}

Operand matrixFunction(Engine& e) {
  const Word w = e.lexer.word;
  const int arguments = (w == Word::Det || w == Word::Trace) ? 1 : (w == Word::Syst ? 2 : 3);
  nextToken(e);
  matchSymbol(e, u'(');
  Operand first;
  for (int k = 0; k < arguments; ++k) {
    if (k > 0)
      nextToken(e);  // exactly one token separates the arguments
    const Operand v = parseLevel(e, 1);
    if (k == 0)
      first = v;
  }
  matchSymbol(e, u')');
  if (!first.isMatrix())
    findMatrixByHandle(e, first.value);
  return {};
}

Operand matrixScale(Engine& e, Operand matrix, double) {
  findMatrixByHandle(e, matrix.value);
  return {};
}

Operand matrixCombine(Engine& e, Word, uint32_t, Operand left, Operand right) {
  findMatrixByHandle(e, left.isMatrix() ? left.value : right.value);
  return {};
}

double matrixAsNumber(Engine& e, Operand matrix) {
  findMatrixByHandle(e, matrix.value);
  return 0.0;
}

}  // namespace quadrel
