#include "core/eval/matrix_operands.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/eval/parser_internal.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/ground/legacy_names.h"
#include "core/limits.h"
#include "core/matrix/matrix_algorithms.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

constexpr TextView kSumSubt = u"CalcMatrixSumSubt";
constexpr TextView kDivMult = u"CalcMatrixDivMult";
constexpr TextView kFunct = u"CalcMatrFunct";

std::unique_ptr<double[]> newBuffer(size_t count) { return std::unique_ptr<double[]>(new double[count]); }

// Raises f unless a failure is pending; with the parser bit of the show
// level the report's extra text is also sent as a diagnostic.
void failAndTell(Engine& e, const Failure& f) {
  if (e.errors.code != kNoError)
    return;
  fail(e, f, Pending::Stands);
  if (e.messages.showLevel & kShowParser)
    e.messages.send(e.platform, f.extra, kEvaluatorErrorTitle, e.messages.showLevel != 0);
}

void failInFormula(Engine& e, int32_t code, TextView procedure, int32_t line, TextView extra) {
  failAndTell(e, {code, procedure, line, extra});
}

// A matrix that cannot be inverted fails in the matrix library's words
// ("Matrix singolar").
void failInversion(Engine& e, TextView procedure, int32_t line, TextView extra) {
  failAndTell(e, matrixLibraryFailure(kMatSingular, procedure, line, extra));
}

Text shapeText(const MatrixRecord& r) { return intText(r.rows) + u", " + intText(r.cols); }

// Work past the limit: code 13 and a report that names the limit; true when
// refused.
bool refusedAsTooMuchWork(Engine& e, double work, TextView procedure, TextView what) {
  if (work <= double(kSolveWorkLimit))
    return false;
  const Text extra = u"Limit: " + Text(what) + u" of this order would take more than " + intText(kSolveWorkLimit) +
                     u" operations (the matrix work limit)\r\n";
  failAndTell(e, {kErrInvalidArgument, procedure, 1000, extra});
  return true;
}
Text dimensions(const MatrixRecord& r) { return u"Dimensions: r1, c1 = " + shapeText(r) + u"\r\n"; }
Text dimensions(const MatrixRecord& a, const MatrixRecord& b) {
  return dimensions(a) + u"            r2, c2 = " + shapeText(b) + u"\r\n";
}
Text typeText(const Operand& o) { return intText(int(o.kind)); }
Text flagText(bool flag) { return flag ? u"-1" : u"0"; }

Operand handleOf(const MatrixRecord& r) { return Operand::matrix(double(reinterpret_cast<intptr_t>(r.data))); }

// The temporary behind a matrix operand. A value the store does not know as
// a buffer is never used as an address: code 14.
MatrixRecord* temporaryOf(Engine& e, const Operand& m, TextView procedure) {
  const double v = m.value;
  MatrixRecord* r = nullptr;
  if (m.isMatrix() && v > 0 && v < 9007199254740992.0 && v == std::trunc(v))
    r = recordOfBuffer(e, reinterpret_cast<const double*>(intptr_t(v)));
  if (!r)
    failInFormula(e, kErrMatrixNotFound, procedure, 1335, u"Matrix handle = " + fixedText(v, 0) + u"\r\n");
  return r;
}

// Registers a buffer of its own as a new temporary named after its address.
Operand newTemporary(Engine& e, std::unique_ptr<double[]> data, int32_t rows, int32_t cols) {
  double* p = data.get();
  const Text name = u"m_" + addressText(p);
  defineMatrix(e, name, p, std::move(data), rows, cols, true);
  return Operand::matrix(double(reinterpret_cast<intptr_t>(p)));
}

// Gives a temporary a new buffer and shape; it is renamed after the new
// address, so no name points at a freed buffer.
Operand replaceBuffer(Engine& e, MatrixRecord& r, std::unique_ptr<double[]> data, int32_t rows, int32_t cols) {
  double* p = data.get();
  e.matrix.store.replaceData(r, p, std::move(data), rows, cols);
  r.name = u"m_" + addressText(r.data);
  return handleOf(r);
}

// A square matrix's inverse into its own buffer; false with the inversion's
// code when it has none.
bool invertInPlace(Engine& e, MatrixRecord& r, TextView procedure, TextView extra) {
  if (r.rows == r.cols && refusedAsTooMuchWork(e, matrix::inverseWork(r.rows), procedure, u"an inversion"))
    return false;
  if (r.rows == r.cols && matrix::inverse(r.data, r.rows, r.data, e.matrix.workspace))
    return true;
  failInversion(e, procedure, 1010,
                u"Matrix is singolar (det = 0) or not squared. It can not be inverted\r\n" + Text(extra));
  return false;
}

void applySuffix(Engine& e, MatrixRecord& r, char16_t suffix) {
  if (suffix == u'T') {
    std::vector<double> t(r.count());
    matrix::transpose(r.data, r.rows, r.cols, t.data());
    std::memcpy(r.data, t.data(), t.size() * sizeof(double));
    std::swap(r.rows, r.cols);
    return;
  }
  if (r.rows != r.cols) {
    failInFormula(e, kErrTokenMatch, u"e_prs", 700, dimensions(r));
    return;
  }
  if (suffix == u'I')
    invertInPlace(e, r, u"e_prs", u"r1, c1 = " + shapeText(r) + u"\r\n");
  else
    matrix::diagonalForm(r.data, r.rows);
}

}  // namespace

Operand matrixOperand(Engine& e) {
  LexerState& lx = e.lexer;
  if (e.errors.code != kNoError) {
    nextToken(e);
    return Operand::number(double(e.errors.code));
  }
  const Text name(lx.element());
  const char16_t suffix = lx.matrixSuffix;
  int32_t rows = 0, cols = 0;
  const double* named =
      reinterpret_cast<const double*>(findMatrix(e, name, kMatchName | kFindAddress, &rows, &cols, true));
  Operand v;
  if (e.errors.code == kNoError) {
    const size_t count = size_t(rows) * size_t(cols);
    std::unique_ptr<double[]> copy = newBuffer(count);
    std::memcpy(copy.get(), named, count * sizeof(double));
    v = newTemporary(e, std::move(copy), rows, cols);
    if (suffix) {
      MatrixRecord& r = *temporaryOf(e, v, u"e_prs");
      applySuffix(e, r, suffix);
      v = handleOf(r);
    }
  }
  if (e.errors.code != kNoError) {
    addReport(e, u"e_prs", 690, u"Matrix = " + name + u"\r\n");
    v = Operand::number(double(e.errors.code));
  }
  nextToken(e);
  return v;
}

Operand matrixScale(Engine& e, Operand matrix, double factor) {
  if (e.errors.code != kNoError)
    return matrix;
  MatrixRecord* r = temporaryOf(e, matrix, kDivMult);
  if (!r)
    return Operand::number(double(e.errors.code));
  const size_t n = r->count();
  for (size_t k = 0; k < n; ++k) r->data[k] = r->data[k] * factor;
  return handleOf(*r);
}

double matrixAsNumber(Engine& e, Operand matrix) {
  failInFormula(e, kErrConditionMatrix, u"e_prs", 830, u"nnTp = " + typeText(matrix) + u"\r\n");
  return 0.0;
}

namespace {

Operand unsupported(Engine& e, TextView procedure, const Operand& left, const Operand& right) {
  failInFormula(e, kErrConditionMatrix, procedure, 1100,
                u"nnTp = " + typeText(left) + u"\r\nn2Tp = " + typeText(right) + u"\r\n");
  return Operand::number(double(e.errors.code));
}

Operand failed(const Engine& e) { return Operand::number(double(e.errors.code)); }

Operand sumOrDifference(Engine& e, double s, Operand left, Operand right) {
  if (left.isMatrix() && right.isMatrix()) {
    MatrixRecord* a = temporaryOf(e, left, kSumSubt);
    MatrixRecord* b = a ? temporaryOf(e, right, kSumSubt) : nullptr;
    if (!b)
      return failed(e);
    if (a->rows != b->rows || a->cols != b->cols) {
      failInFormula(e, kErrNoValue, kSumSubt, 1060, dimensions(*a, *b));
      return failed(e);
    }
    const size_t n = a->count();
    for (size_t k = 0; k < n; ++k) a->data[k] = s > 0 ? a->data[k] + b->data[k] : a->data[k] - b->data[k];
    return handleOf(*a);
  }
  if (left.isMatrix()) {
    MatrixRecord* a = temporaryOf(e, left, kSumSubt);
    if (!a)
      return failed(e);
    const double add = s * right.value;
    const size_t n = a->count();
    for (size_t k = 0; k < n; ++k) a->data[k] = a->data[k] + add;
    return handleOf(*a);
  }
  // number + matrix, number - matrix: the number and each element.
  MatrixRecord* b = temporaryOf(e, right, kSumSubt);
  if (!b)
    return failed(e);
  const size_t n = b->count();
  for (size_t k = 0; k < n; ++k) b->data[k] = s > 0 ? left.value + b->data[k] : left.value - b->data[k];
  return handleOf(*b);
}

Operand matrixPower(Engine& e, Operand left, double exponent) {
  MatrixRecord* a = temporaryOf(e, left, kDivMult);
  if (!a)
    return failed(e);
  if (exponent != std::trunc(exponent) || !(std::fabs(exponent) <= 2147483647.0)) {
    failInFormula(
        e, kErrNotInteger, kDivMult, 1200,
        u"Exponent of Matrix (es. [mA]^n) is not integer.\r\nExp = " + trimNumberText(fixedText(exponent)) + u"\r\n");
    return failed(e);
  }
  if (a->rows != a->cols) {
    failInFormula(e, kErrTokenMatch, kDivMult, 1205, dimensions(*a));
    return failed(e);
  }
  const int n = a->rows;
  int64_t p = int64_t(exponent);
  if (p < 0) {
    if (!invertInPlace(e, *a, kDivMult, u"r1, c1 = " + shapeText(*a) + u"\r\n"))
      return failed(e);
    p = -p;
  }
  if (p == 0) {
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) a->data[size_t(i) * n + j] = i == j ? 1.0 : 0.0;
  } else if (p > 1) {
    std::vector<double> r(a->count());
    if (!matrix::power(a->data, n, p, r.data(), e.matrix.powerWorkLimit)) {
      failInFormula(e, kErrNotInteger, kDivMult, 1210,
                    u"Exponent of Matrix (es. [mA]^n) too large: the powers of this matrix do not repeat within " +
                        intText(matrix::powerProductLimit(n, e.matrix.powerWorkLimit)) + u" products.\r\nExp = " +
                        trimNumberText(fixedText(exponent)) + u"\r\n");
      return failed(e);
    }
    std::memcpy(a->data, r.data(), r.size() * sizeof(double));
  }
  return handleOf(*a);
}

Operand product(Engine& e, Operand left, Operand right) {
  MatrixRecord* a = temporaryOf(e, left, kDivMult);
  MatrixRecord* b = a ? temporaryOf(e, right, kDivMult) : nullptr;
  if (!b)
    return failed(e);
  if (a->cols != b->rows) {
    failInFormula(e, kErrNoValue, kDivMult, 1180,
                  u"If A(r1, c1) * B(r2, c2) must be c1 = r2.\r\nc1 = " + intText(a->cols) + u"\r\nr2 = " +
                      intText(b->rows) + u"\r\n");
    return failed(e);
  }
  std::unique_ptr<double[]> c = newBuffer(size_t(a->rows) * size_t(b->cols));
  matrix::multiply(a->data, a->rows, a->cols, b->data, b->cols, c.get());
  return replaceBuffer(e, *a, std::move(c), a->rows, b->cols);
}

Operand quotient(Engine& e, Operand left, Operand right) {
  MatrixRecord* a = temporaryOf(e, left, kDivMult);
  MatrixRecord* b = a ? temporaryOf(e, right, kDivMult) : nullptr;
  if (!b)
    return failed(e);
  const Text shapes = u"r1, c1 = " + shapeText(*a) + u"\r\nr2, c2 = " + shapeText(*b) + u"\r\n";
  if (b->rows != b->cols) {
    failInversion(e, kDivMult, 1170,
                  u"Matrix is singolar (det = 0) or not squared. It can not be inverted\r\n" + shapes);
    return failed(e);
  }
  if (a->cols != b->rows) {
    failInFormula(e, kErrNoValue, kDivMult, 1165,
                  u"If A(r1, c1) * B(r2, c2) must be c1 = r2.\r\nc1 - r2 = " + intText(a->cols) + u" - " +
                      intText(b->rows) + u"\r\n");
    return failed(e);
  }
  if (!invertInPlace(e, *b, kDivMult, shapes))
    return failed(e);
  std::unique_ptr<double[]> c = newBuffer(a->count());
  matrix::multiply(a->data, a->rows, a->cols, b->data, b->cols, c.get());
  std::memcpy(a->data, c.get(), a->count() * sizeof(double));
  return handleOf(*a);
}

Operand productOrQuotient(Engine& e, uint32_t op, Operand left, Operand right) {
  if (op == sym(u'^')) {
    if (left.isMatrix() && !right.isMatrix())
      return matrixPower(e, left, right.value);
    return unsupported(e, kDivMult, left, right);
  }
  if (op == sym(u'*')) {
    if (left.isMatrix() && right.isMatrix())
      return product(e, left, right);
    return left.isMatrix() ? matrixScale(e, left, right.value) : matrixScale(e, right, left.value);
  }
  // "/"
  if (left.isMatrix() && right.isMatrix())
    return quotient(e, left, right);
  if (left.isMatrix()) {
    if (right.value == 0) {
      failInFormula(e, kErrDivisionByZero, kDivMult, 1190, u"Dividend = matrix, Divisor = 0\r\n");
      return failed(e);
    }
    return matrixScale(e, left, 1.0 / right.value);
  }
  MatrixRecord* b = temporaryOf(e, right, kDivMult);
  if (!b || !invertInPlace(e, *b, kDivMult, u"r2, c2 = " + shapeText(*b) + u"\r\n"))
    return failed(e);
  return matrixScale(e, handleOf(*b), left.value);
}

}  // namespace

Operand matrixCombine(Engine& e, Word word, uint32_t op, Operand left, Operand right) {
  if (e.errors.code != kNoError)
    return failed(e);
  if (word == Word::None && (op == sym(u'+') || op == sym(u'-')))
    return sumOrDifference(e, op == sym(u'-') ? -1.0 : 1.0, left, right);
  if (word == Word::None && (op == sym(u'*') || op == sym(u'/') || op == sym(u'^')))
    return productOrQuotient(e, op, left, right);
  return unsupported(e, u"e_prs", left, right);
}

namespace {

// The operand rules of syst and vcoeff: a non-vector must be square, both
// have as many rows, and exactly one is a vector. Gives the square operand
// and the vector operand, or false with the code set.
bool systemOperands(Engine& e, Operand p, Operand q, bool leastSquares, MatrixRecord*& square, MatrixRecord*& vector) {
  MatrixRecord* a = temporaryOf(e, p, kFunct);
  MatrixRecord* b = a ? temporaryOf(e, q, kFunct) : nullptr;
  if (!b)
    return false;
  const bool va = a->vector(), vb = b->vector();
  if ((!va && a->rows != a->cols) || (!vb && b->rows != b->cols) || a->rows != b->rows) {
    failInFormula(e, kErrNoValue, kFunct, 1300, dimensions(*a, *b));
    return false;
  }
  if (va == vb) {
    failInFormula(
        e, kErrConditionMatrix, kFunct, 1305,
        leastSquares ? u"nnVect = " + flagText(va) + u"\r\nn2Vect = " + flagText(vb) + u"\r\n" : dimensions(*a, *b));
    return false;
  }
  square = va ? b : a;
  vector = va ? a : b;
  return true;
}

Operand solveSystem(Engine& e, Operand p, Operand q) {
  MatrixRecord *a, *b;
  if (!systemOperands(e, p, q, false, a, b))
    return failed(e);
  const int n = a->rows;
  if (refusedAsTooMuchWork(e, matrix::cramerWork(n), kFunct, u"a system by Cramer's rule"))
    return failed(e);
  if (!matrix::solveCramer(a->data, n, b->data, b->data, e.matrix.workspace)) {
    failInversion(e, kFunct, 1310, u"Matrix is singolar (det = 0)\r\n" + dimensions(*a, *b));
    return failed(e);
  }
  return handleOf(*b);
}

Operand vectorCoefficients(Engine& e, Operand p, Operand q, Operand k) {
  MatrixRecord *a, *b;
  if (!systemOperands(e, p, q, true, a, b))
    return failed(e);
  if (k.isMatrix()) {
    fail(e, {kErrInvalidArgument, u"e_prs", 1320, u"vcoeff: the number of coefficients is a matrix\r\n"},
         Pending::Replaced);
    return failed(e);
  }
  const int m = a->rows;
  const double rounded = std::nearbyint(k.value);
  if (!(rounded >= 1 && rounded <= m)) {
    failInFormula(e, kErrInvalidArgument, kFunct, 1325,
                  u"k = " + trimNumberText(fixedText(k.value)) + u", m = " + intText(m) + u"\r\n");
    return failed(e);
  }
  const int columns = int(rounded);
  if (refusedAsTooMuchWork(e, matrix::leastSquaresWork(m, columns), kFunct, u"a least-squares fit"))
    return failed(e);
  // The first k columns of the square operand, as an m x k matrix.
  std::vector<double> coefficients(size_t(m) * size_t(columns)), c(static_cast<size_t>(columns));
  for (int i = 0; i < m; ++i)
    std::memcpy(&coefficients[size_t(i) * columns], a->data + size_t(i) * m, size_t(columns) * sizeof(double));
  if (!matrix::leastSquares(coefficients.data(), m, columns, b->data, c.data(), e.matrix.workspace)) {
    failInversion(e, kFunct, 1330, u"Matrix is singolar (det = 0)\r\n" + dimensions(*a, *b));
    return failed(e);
  }
  const size_t length = b->count();
  for (size_t i = 0; i < length; ++i) b->data[i] = i < c.size() ? c[i] : 0.0;
  return handleOf(*b);
}

Operand squareFunction(Engine& e, Word w, Operand m) {
  MatrixRecord* a = temporaryOf(e, m, kFunct);
  if (!a)
    return failed(e);
  if (a->rows != a->cols) {
    failInFormula(e, kErrTokenMatch, kFunct, 1280, dimensions(*a));
    return failed(e);
  }
  if (w == Word::Det)
    return Operand::number(matrix::determinant(a->data, a->rows, e.matrix.workspace));
  return Operand::number(matrix::trace(a->data, a->rows));
}

}  // namespace

Operand matrixFunction(Engine& e) {
  const Word w = e.lexer.word;
  const int arguments = (w == Word::Det || w == Word::Trace) ? 1 : (w == Word::Syst ? 2 : 3);
  nextToken(e);
  matchSymbol(e, u'(');
  Operand args[3];
  for (int k = 0; k < arguments; ++k) {
    if (k > 0)
      nextToken(e);  // exactly one token separates the arguments
    args[k] = parseLevel(e, 1);
  }
  matchSymbol(e, u')');
  if (e.errors.code != kNoError)
    return failed(e);
  switch (w) {
    case Word::Det:
    case Word::Trace: return squareFunction(e, w, args[0]);
    case Word::Syst: return solveSystem(e, args[0], args[1]);
    default: return vectorCoefficients(e, args[0], args[1], args[2]);
  }
}

void endMatrixEvaluation(Engine& e, const EvalOutcome& outcome) {
  const double* keep = outcome.isMatrix() ? reinterpret_cast<const double*>(intptr_t(outcome.value)) : nullptr;
  clearTemporaries(e, keep);
}

void storeMatrixResult(Engine& e, const EvalOutcome& outcome) {
  if (!outcome.isMatrix())
    return;
  const MatrixRecord* r = recordOfBuffer(e, reinterpret_cast<const double*>(intptr_t(outcome.value)));
  if (!r)
    return;
  std::unique_ptr<double[]> copy = newBuffer(r->count());
  std::memcpy(copy.get(), r->data, r->count() * sizeof(double));
  double* p = copy.get();
  defineMatrix(e, u"[mResult]", p, std::move(copy), r->rows, r->cols, false);
}

}  // namespace quadrel
