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

double matrixOperand(Engine& e, uint8_t& type) {
  LexerState& lx = e.lexer;
  type = 0;
  Text name(lx.element());
  if (!findNamedMatrix(e, name)) {
    addReport(e, u"e_prs", 690, u"Matrix = " + name + u"\r\n");
    nextToken(e);
    return double(e.errors.code);
  }
  nextToken(e);
  return 0.0;
}

double matrixFunction(Engine& e, uint8_t& type) {
  const Word w = e.lexer.word;
  const int arguments = (w == Word::Det || w == Word::Trace) ? 1 : (w == Word::Syst ? 2 : 3);
  nextToken(e);
  matchSymbol(e, u'(');
  double first = 0;
  uint8_t firstType = 0;
  for (int k = 0; k < arguments; ++k) {
    if (k > 0)
      nextToken(e);  // exactly one token separates the arguments
    uint8_t t;
    double v = parseLevel(e, 1, t);
    if (k == 0)
      first = v, firstType = t;
  }
  matchSymbol(e, u')');
  type = 0;
  if (firstType != 1)
    findMatrixByHandle(e, first);
  return 0.0;
}

double matrixScale(Engine& e, double handle, double, uint8_t& type) {
  type = 0;
  findMatrixByHandle(e, handle);
  return 0.0;
}

double matrixCombine(Engine& e, Word, uint32_t, double left, uint8_t leftType, double right, uint8_t, uint8_t& type) {
  type = 0;
  findMatrixByHandle(e, leftType == 1 ? left : right);
  return 0.0;
}

double matrixAsNumber(Engine& e, double handle) {
  findMatrixByHandle(e, handle);
  return 0.0;
}

}  // namespace quadrel
