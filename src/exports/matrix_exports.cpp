// Exports of the matrix store, the element order, the matrix texts and the
// matrix operations library.
#include "core/matrix/element_order.h"
#include "core/matrix/matrix_library.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/matrix/matrix_text.h"
#include "exports/export_support.h"

using namespace quadrel;

namespace {

double* bufferAt(intptr_t address) { return reinterpret_cast<double*>(address); }
char16_t* textBuffer(qd_char* p) { return reinterpret_cast<char16_t*>(p); }
// Element-order probe argument of aElemOrderEx: what 0 probes, 2 sets, 3 reads.
constexpr int32_t kOrderProbe = 0, kOrderSet = 2, kOrderGet = 3;

}  // namespace

extern "C" {

// ---- element order and the store -----------------------------------------

QD_API int32_t QD_CALL aCopyArray(const double* src, double* dst, int32_t a, int32_t b) {
  return guarded<int32_t>(0, [&] {
    if (!src || !dst)
      return int32_t(kMatNotDefined);
    if (a <= 0 || b <= 0 || int64_t(a) * b > 0x7FFFFFFF)
      return int32_t(kMatOrdersNotValid);
    copyArray(engine(), src, dst, a, b);
    return int32_t(-1);
  });
}

QD_API int32_t QD_CALL aElemOrder(const double* probe) {
  return guarded<int32_t>(0, [&] { return probe ? probeElementOrder(engine(), probe) : int32_t(kMatNotDefined); });
}

QD_API int32_t QD_CALL aElemOrderEx(const void* arg, int32_t what) {
  return guarded<int32_t>(0, [&] {
    switch (what) {
      case kOrderProbe: return arg ? probeElementOrder(engine(), static_cast<const double*>(arg)) : kMatNotDefined;
      case kOrderSet: return arg ? setElementOrder(engine(), *static_cast<const int32_t*>(arg)) : kMatNotDefined;
      case kOrderGet: return elementOrder(engine());
      default: return int32_t(0);
    }
  });
}

QD_API int32_t QD_CALL aElemOrderGet(void) {
  return guarded<int32_t>(0, [] { return elementOrder(engine()); });
}

QD_API int32_t QD_CALL aElemOrderSet(int32_t order) {
  return guarded<int32_t>(0, [&] { return setElementOrder(engine(), order); });
}

QD_API int32_t QD_CALL aElemOrderSt(const qd_char* language) {
  return guarded<int32_t>(0, [&] { return elementOrderForLanguage(engine(), in(language)); });
}

QD_API intptr_t QD_CALL SetMatrix(const qd_char* name, double* data, int32_t rows, int32_t cols,
                                  int32_t returnAddress) {
  return guarded<intptr_t>(0, [&] { return setMatrixFromCaller(engine(), in(name), data, rows, cols, returnAddress); });
}

QD_API intptr_t QD_CALL SetStrMatrix(const qd_char* text, int32_t returnAddress, int32_t evaluate, int32_t) {
  return guarded<intptr_t>(0, [&] { return setStrMatrix(engine(), in(text), returnAddress != 0, evaluate != 0); });
}

QD_API intptr_t QD_CALL FindMatrix(const qd_char* name, int32_t flags, int32_t* rows, int32_t* cols, int32_t trace) {
  return guarded<intptr_t>(0, [&] { return findMatrix(engine(), in(name), flags, rows, cols, trace != 0); });
}

QD_API int32_t QD_CALL GetMatrixByLong(intptr_t source, intptr_t destination, int32_t rows, int32_t cols) {
  return guarded<int32_t>(
      0, [&] { return copyMatrixToCaller(engine(), bufferAt(source), bufferAt(destination), rows, cols); });
}

QD_API int32_t QD_CALL ClearMatrixList(intptr_t keep) {
  return guarded<int32_t>(0, [&] { return clearMatrixList(engine(), bufferAt(keep)); });
}

QD_API const qd_char* QD_CALL GetMatrixList(int32_t withValues) {
  return guarded<const qd_char*>(nullptr, [&] { return out(matrixListText(engine(), withValues != 0)); });
}

// ---- text forms --------------------------------------------------------------

QD_API const qd_char* QD_CALL aPrint(const double* data, int32_t rows, int32_t cols, const qd_char* mode,
                                     const qd_char* format, const qd_char* title, const qd_char* separator) {
  return guarded<const qd_char*>(nullptr, [&] {
    return out(printMatrix(engine(), data, rows, cols, in(mode), in(format), in(title), in(separator)));
  });
}

QD_API int32_t QD_CALL aPrintEx(const double* data, int32_t rows, int32_t cols, const qd_char* mode,
                                const qd_char* format, const qd_char* title, const qd_char* separator,
                                qd_char* buffer) {
  return guarded<int32_t>(0, [&] {
    return printMatrixInto(engine(), data, rows, cols, in(mode), in(format), in(title), in(separator),
                           textBuffer(buffer));
  });
}

namespace {

const qd_char* showMatrix(Engine& e, const double* data, int32_t rows, int32_t cols) {
  const int32_t mode = e.messages.setMode(kMsgAccept);
  const qd_char* text = out(printMatrix(e, data, rows, cols, u"MsgBox", u"", u"", u""));
  e.messages.setMode(mode);
  return text;
}

}  // namespace

QD_API const qd_char* QD_CALL aShow(const double* data, int32_t rows, int32_t cols) {
  return guarded<const qd_char*>(nullptr, [&] { return showMatrix(engine(), data, rows, cols); });
}

QD_API const qd_char* QD_CALL aShowByLong(intptr_t data, int32_t rows, int32_t cols) {
  return guarded<const qd_char*>(nullptr, [&] {
    Engine& e = engine();
    // A stale handle shows nothing: the empty text, code 15.
    if (!readableBuffer(e, bufferAt(data), rows, cols, u"aShowByLong")) {
      e.matrix.printText.clear();
      return out(e.matrix.printText);
    }
    return showMatrix(e, bufferAt(data), rows, cols);
  });
}

// ---- operations ----------------------------------------------------------------

QD_API int32_t QD_CALL aCopy(const double* a, int32_t rows, int32_t cols, double* b) {
  return guarded<int32_t>(0, [&] { return matrix_ops::copy(engine(), a, rows, cols, b); });
}

QD_API int32_t QD_CALL aDupl(const double* a, int32_t rows, int32_t cols, double* b) {
  return guarded<int32_t>(0, [&] { return matrix_ops::copy(engine(), a, rows, cols, b); });
}

QD_API int32_t QD_CALL aCombine(void) { return 0; }
QD_API int32_t QD_CALL aInsert(void) { return 0; }
QD_API int32_t QD_CALL aSub(void) { return 0; }

QD_API int32_t QD_CALL aSum(const double* a, int32_t rows, int32_t cols, const double* b, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::sum(engine(), a, rows, cols, b, c, 1.0); });
}

QD_API int32_t QD_CALL aDiff(const double* a, int32_t rows, int32_t cols, const double* b, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::sum(engine(), a, rows, cols, b, c, -1.0); });
}

QD_API int32_t QD_CALL aSumMem(const double* a, int32_t rows, int32_t cols, const double* b, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::sum(engine(), a, rows, cols, b, c, 1.0); });
}

QD_API int32_t QD_CALL aDiffMem(const double* a, int32_t rows, int32_t cols, const double* b, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::sum(engine(), a, rows, cols, b, c, -1.0); });
}

QD_API int32_t QD_CALL aSumScal(double* a, int32_t rows, int32_t cols, double s) {
  return guarded<int32_t>(0, [&] { return matrix_ops::addScalar(engine(), a, rows, cols, s); });
}

QD_API int32_t QD_CALL aProdScal(double* a, int32_t rows, int32_t cols, double s) {
  return guarded<int32_t>(0, [&] { return matrix_ops::multiplyScalar(engine(), a, rows, cols, s); });
}

QD_API int32_t QD_CALL aOpp(double* a, int32_t rows, int32_t cols) {
  return guarded<int32_t>(0, [&] { return matrix_ops::opposite(engine(), a, rows, cols); });
}

QD_API int32_t QD_CALL aMultEx(const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb, int32_t cb,
                               double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::multiplyEx(engine(), a, ra, ca, b, rb, cb, c); });
}

QD_API int32_t QD_CALL aMultSq(const double* a, int32_t n, const double* b, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::multiplySquare(engine(), a, n, b, c); });
}

QD_API int32_t QD_CALL aMultVect(const double* a, int32_t rows, int32_t cols, const double* v, double* r) {
  return guarded<int32_t>(0, [&] { return matrix_ops::multiplyVector(engine(), a, rows, cols, v, r); });
}

QD_API int32_t QD_CALL aMultVectSq(const double* a, int32_t n, const double* v, double* r) {
  return guarded<int32_t>(0, [&] { return matrix_ops::multiplyVector(engine(), a, n, n, v, r); });
}

QD_API int32_t QD_CALL aPow(const double* a, int32_t n, int32_t p, double* r) {
  return guarded<int32_t>(0, [&] { return matrix_ops::power(engine(), a, n, p, r); });
}

QD_API int32_t QD_CALL aTrasp(double* a, int32_t rows, int32_t cols) {
  return guarded<int32_t>(0, [&] { return matrix_ops::transposeInPlace(engine(), a, rows, cols); });
}

QD_API int32_t QD_CALL aTraspEx(const double* a, int32_t rows, int32_t cols, double* b) {
  return guarded<int32_t>(0, [&] { return matrix_ops::transposeInto(engine(), a, rows, cols, b); });
}

QD_API int32_t QD_CALL aTraspSq(double* a, int32_t n) {
  return guarded<int32_t>(0, [&] { return matrix_ops::transposeSquare(engine(), a, n); });
}

QD_API int32_t QD_CALL aSwap(double* a, int32_t rows, int32_t cols, double* b) {
  return guarded<int32_t>(0, [&] { return matrix_ops::swap(engine(), a, rows, cols, b); });
}

QD_API int32_t QD_CALL aSwapRC(double* a, int32_t rows, int32_t cols, int32_t byRows, int32_t i, int32_t j) {
  return guarded<int32_t>(0, [&] { return matrix_ops::swapRowsOrColumns(engine(), a, rows, cols, byRows, i, j); });
}

QD_API int32_t QD_CALL aDet(const double* a, int32_t n, double* det) {
  return guarded<int32_t>(0, [&] { return matrix_ops::determinant(engine(), a, n, det); });
}

QD_API double QD_CALL aDetN(const double* a, int32_t n) {
  return guarded<double>(0.0, [&] {
    double det = 0.0;
    matrix_ops::determinant(engine(), a, n, &det);
    return det;
  });
}

QD_API int32_t QD_CALL aDiag(double* a, int32_t n) {
  return guarded<int32_t>(0, [&] { return matrix_ops::diagonal(engine(), a, n); });
}

QD_API int32_t QD_CALL aInv(double* a, int32_t n) {
  return guarded<int32_t>(0, [&] { return matrix_ops::invert(engine(), a, n); });
}

QD_API int32_t QD_CALL aDiv(const double* a, int32_t n, const double* b, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::divide(engine(), a, n, b, c); });
}

QD_API int32_t QD_CALL aSist(const double* a, int32_t n, const double* b, double* x) {
  return guarded<int32_t>(0, [&] { return matrix_ops::solve(engine(), a, n, b, x); });
}

QD_API int32_t QD_CALL aTrace(const double* a, int32_t n, double* t) {
  return guarded<int32_t>(0, [&] { return matrix_ops::trace(engine(), a, n, t); });
}

QD_API double QD_CALL aTraceN(const double* a, int32_t n) {
  return guarded<double>(0.0, [&] {
    double t = 0.0;
    matrix_ops::trace(engine(), a, n, &t);
    return t;
  });
}

QD_API int32_t QD_CALL aMatrMod(const double* v, int32_t n, double* r) {
  return guarded<int32_t>(0, [&] { return matrix_ops::norm(engine(), v, n, r); });
}

QD_API int32_t QD_CALL aVectMod(const double* v, int32_t n, double* r) {
  return guarded<int32_t>(0, [&] { return matrix_ops::norm(engine(), v, n, r); });
}

QD_API int32_t QD_CALL aMatrIsZero(const double* a, int32_t n) {
  return guarded<int32_t>(0, [&] { return matrix_ops::isZero(engine(), a, n); });
}

QD_API int32_t QD_CALL aMatrIsUnit(const double* a, int32_t n) {
  return guarded<int32_t>(0, [&] { return matrix_ops::isUnit(engine(), a, n); });
}

QD_API int32_t QD_CALL aMatrIsSing(const double* a, int32_t n) {
  return guarded<int32_t>(0, [&] { return matrix_ops::isSingular(engine(), a, n); });
}

QD_API int32_t QD_CALL aMatrIsOrtog(const double* a, int32_t n) {
  return guarded<int32_t>(0, [&] { return matrix_ops::isOrthogonal(engine(), a, n); });
}

QD_API int32_t QD_CALL aMatrAreOrtog(const double* a, int32_t n, const double* b) {
  return guarded<int32_t>(0, [&] { return matrix_ops::areOrthogonal(engine(), a, n, b); });
}

QD_API int32_t QD_CALL aMatrAreEquals(const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb,
                                      int32_t cb) {
  return guarded<int32_t>(0, [&] { return matrix_ops::areEqual(engine(), a, ra, ca, b, rb, cb); });
}

QD_API int32_t QD_CALL aCalcVectCoeff(const double* a, int32_t m, int32_t n, const double* y, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::vectorCoefficients(engine(), a, m, n, y, c); });
}

QD_API int32_t QD_CALL aCalcCoeffPolin(const double* p, int32_t points, int32_t coefficients, double* c) {
  return guarded<int32_t>(0, [&] { return matrix_ops::polynomialCoefficients(engine(), p, points, coefficients, c); });
}

QD_API int32_t QD_CALL aGetYPolin(const double* x, const double* c, int32_t count, double* y) {
  return guarded<int32_t>(0, [&] { return matrix_ops::polynomialValue(engine(), x, c, count, y); });
}

QD_API int32_t QD_CALL aGetXsOfQuadr(const double* y, const double* c, int32_t count, double* x1, double* x2) {
  return guarded<int32_t>(0, [&] { return matrix_ops::quadraticRoots(engine(), y, c, count, x1, x2); });
}

}  // extern "C"
