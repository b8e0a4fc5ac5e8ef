// Exports of the numerical methods: integration, solvers, integer helpers,
// interpolation and the text cipher.
#include "core/numeric/integer_helpers.h"
#include "core/numeric/integration.h"
#include "core/numeric/newton_solvers.h"
#include "core/numeric/poly_derivative.h"
#include "core/numeric/rc4_cipher.h"
#include "exports/export_support.h"

using namespace quadrel;

namespace {

const qd_char* keep(Text& slot, Text value) {
  slot = std::move(value);
  return out(slot);
}

const qd_char* const kEmpty = reinterpret_cast<const qd_char*>(u"");

// InterpLin's answer once the result is stored.
constexpr int32_t kInterpolated = 0;

}  // namespace

extern "C" {

QD_API int32_t QD_CALL Integrate(const qd_char* formula, double a, double b, int32_t n, int32_t method,
                                 const qd_char* variable, double* result) {
  return guarded<int32_t>(kErrUndefined,
                          [&] { return integrate(engine(), in(formula), a, b, n, method, in(variable), result); });
}

QD_API double QD_CALL dIntegrate(const qd_char* formula, double a, double b, int32_t n, int32_t method,
                                 const qd_char* variable) {
  return guarded<double>(0.0, [&] { return integrateToCell(engine(), in(formula), a, b, n, method, in(variable)); });
}

QD_API int32_t QD_CALL IntBezier2D(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                   int32_t, int32_t, int32_t) {
  return 0;
}

QD_API int32_t QD_CALL NewtSolve(const qd_char* formula, const qd_char* name, double* root) {
  return guarded<int32_t>(kErrUndefined, [&] { return newtonStart(engine(), in(formula), in(name), root); });
}

QD_API double QD_CALL dPolySolve(const qd_char* formula, const qd_char* name) {
  return guarded<double>(0.0, [&] { return startValue(engine(), in(formula), in(name)); });
}

QD_API const qd_char* QD_CALL sPolyNewt(const qd_char* formula, const qd_char* name, int32_t maxSteps) {
  return guarded<const qd_char*>(
      kEmpty, [&] { return keep(library().solverText, startValueText(engine(), in(formula), in(name), maxSteps)); });
}

QD_API int32_t QD_CALL SolveD(const qd_char* formula, const qd_char* name, double* root) {
  return guarded<int32_t>(kErrUndefined, [&] { return solveByDifferentiation(engine(), in(formula), in(name), root); });
}

QD_API double QD_CALL dSolve(const qd_char* polynomial, const qd_char* name) {
  return guarded<double>(0.0, [&] { return solvePolynomial(engine(), in(polynomial), in(name)); });
}

QD_API const qd_char* QD_CALL sSolve(const qd_char* polynomial, const qd_char* name, int32_t steps) {
  return guarded<const qd_char*>(kEmpty, [&] {
    return keep(library().solverText, solvePolynomialText(engine(), in(polynomial), in(name), steps));
  });
}

QD_API const qd_char* QD_CALL Poly_dydx(const qd_char* polynomial, const qd_char* name) {
  return guarded<const qd_char*>(
      kEmpty, [&] { return keep(library().solverText, polynomialDerivative(in(polynomial), in(name))); });
}

QD_API const qd_char* QD_CALL lPoly_dydx(const qd_char* polynomial, const qd_char* name) {
  return Poly_dydx(polynomial, name);
}

QD_API int32_t QD_CALL IsPrime(int32_t n) { return isPrime(n); }
QD_API int32_t QD_CALL lIsPrime(int32_t n) { return smallestOddDivisor(n); }
QD_API int32_t QD_CALL GCF(int32_t a, int32_t b) { return greatestCommonFactor(a, b); }
QD_API int32_t QD_CALL LCM(int32_t a, int32_t b) { return leastCommonMultiple(a, b); }
QD_API double QD_CALL fact(int32_t n) { return factorial(n); }
QD_API double QD_CALL fact_inv(void) { return 0.0; }

QD_API int32_t QD_CALL InterpLin(const double* x, const double* x1, const double* x2, const double* y1,
                                 const double* y2, double* result) {
  if (!x || !x1 || !x2 || !y1 || !y2 || !result)
    return kErrNoValue;
  *result = interpolateLinear(*x, *x1, *x2, *y1, *y2);
  return kInterpolated;
}

QD_API const qd_char* QD_CALL RC4(const qd_char* text, const qd_char* key) {
  return guarded<const qd_char*>(kEmpty, [&] { return keep(library().cipherText, rc4(in(text), in(key))); });
}

QD_API const qd_char* QD_CALL RC4S(const qd_char* text, const qd_char* key) {
  return guarded<const qd_char*>(kEmpty, [&] {
    RC4(text, key);
    return keep(library().resultText, library().cipherText);
  });
}

}  // extern "C"
