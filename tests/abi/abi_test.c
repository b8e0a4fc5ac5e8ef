/* ABI test of the Quadrel library as a C program sees it.
 *
 * Written in C (not C++) to prove that include/quadrel.h works from C. The
 * library is loaded at run time (LoadLibraryW on Windows, dlopen elsewhere)
 * and every export declared in the header is looked up by its plain name and
 * called through a pointer of the declared type: on 32-bit Windows that
 * checks the stdcall convention and the undecorated export names together.
 *
 *   abi_test [LIBRARY]   default: Quadrel.dll / libquadrel.so
 *
 * Prints one line per failed check and ends with "N passed, N failed";
 * the exit code is non-zero when a check failed.
 */
#if !defined(_WIN32)
#define _POSIX_C_SOURCE 200809L /* mkdtemp */
#endif
#include "quadrel.h"
#include "abi_files.h"
#include "abi_library.h"

#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

/* ---- the exports: name, return type, parameter list ---------------------- */

#define QD_EXPORTS(X)                                                                   \
  X(GetE_Error, int32_t, (void))                                                        \
  X(SetE_Error, int32_t, (int32_t))                                                     \
  X(GetE_ErrDescr, const qd_char*, (int32_t, uint8_t))                                  \
  X(GetStErrDescr, const qd_char*, (int32_t))                                           \
  X(SetErrorMsgs, int32_t, (const qd_char*, int32_t, const qd_char*))                   \
  X(GetErrorMsgs, int32_t, (qd_char*, int32_t, uint8_t))                                \
  X(SetErrorMsgsF, int32_t, (int32_t))                                                  \
  X(e_eval, int32_t, (const qd_char*, double*, int32_t))                                \
  X(de_eval, double, (const qd_char*, int32_t))                                         \
  X(e_evals, int32_t,                                                                   \
    (const qd_char*, double, const qd_char*, double, int32_t, double*, double*, double*)) \
  X(GetResultType, int32_t, (void))                                                     \
  X(SetBoolSign, int32_t, (int32_t))                                                    \
  X(GetEvalResult, int32_t, (qd_char*, int32_t))                                        \
  X(e_get_const, int32_t, (const qd_char*, double*))                                    \
  X(SetVarFunct, int32_t, (const qd_char*, const qd_char*, int32_t))                    \
  X(FindVarFunct, int32_t, (const qd_char*, int32_t, double*, qd_char*))                \
  X(GetVarFuncList, int32_t, (qd_char*, int32_t, const qd_char*))                       \
  X(GetVarFuncListLen, int32_t, (const qd_char*))                                       \
  X(ClearVarFuncList, int32_t, (const qd_char*))                                        \
  X(ReSetRaRarevo, int32_t, (void))                                                     \
  X(e_diff, int32_t, (const qd_char*, const qd_char*, qd_char*, int32_t))                \
  X(GetLast_diffErr, int8_t, (void))                                                    \
  X(SetDiffLogF, uint8_t, (uint8_t, const qd_char*))                                    \
  X(GetDiff_OperAndFuncs, int32_t, (qd_char*))                                          \
  X(StrD0, const qd_char*, (const qd_char*))                                            \
  X(otmEvalMain, int32_t, (const qd_char*))                                             \
  X(LoadSaveFile, int32_t, (uint8_t))                                                   \
  X(SetDebugF, int32_t, (int32_t))                                                      \
  X(ShowMsgs, int32_t, (int32_t))                                                       \
  X(GetDebugLog, int32_t, (qd_char*, int32_t, uint8_t))                                 \
  X(DisplayVerInfo, int32_t, (const qd_char*, qd_char*, qd_char*))                      \
  X(aAbout, const qd_char*, (int32_t))                                                  \
  X(TestStr, const qd_char*, (const qd_char*))                                          \
  X(TestStrPtr, qd_char*, (qd_char*))                                                   \
  X(TestStrPtr2, const qd_char*, (qd_char*))                                            \
  X(Integrate, int32_t, (const qd_char*, double, double, int32_t, int32_t, const qd_char*, double*)) \
  X(dIntegrate, double, (const qd_char*, double, double, int32_t, int32_t, const qd_char*)) \
  X(IntBezier2D, int32_t,                                                               \
    (int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t)) \
  X(NewtSolve, int32_t, (const qd_char*, const qd_char*, double*))                      \
  X(dPolySolve, double, (const qd_char*, const qd_char*))                               \
  X(sPolyNewt, const qd_char*, (const qd_char*, const qd_char*, int32_t))               \
  X(dSolve, double, (const qd_char*, const qd_char*))                                   \
  X(SolveD, int32_t, (const qd_char*, const qd_char*, double*))                         \
  X(sSolve, const qd_char*, (const qd_char*, const qd_char*, int32_t))                  \
  X(Poly_dydx, const qd_char*, (const qd_char*, const qd_char*))                        \
  X(lPoly_dydx, const qd_char*, (const qd_char*, const qd_char*))                       \
  X(IsPrime, int32_t, (int32_t))                                                        \
  X(lIsPrime, int32_t, (int32_t))                                                       \
  X(GCF, int32_t, (int32_t, int32_t))                                                   \
  X(LCM, int32_t, (int32_t, int32_t))                                                   \
  X(fact, double, (int32_t))                                                            \
  X(fact_inv, double, (void))                                                           \
  X(InterpLin, int32_t,                                                                 \
    (const double*, const double*, const double*, const double*, const double*, double*)) \
  X(RC4, const qd_char*, (const qd_char*, const qd_char*))                              \
  X(RC4S, const qd_char*, (const qd_char*, const qd_char*))                             \
  X(otmAttachProcess, int32_t, (int32_t))                                               \
  X(otmAttachThread, int32_t, (int32_t))                                                \
  X(otmDetachThread, int32_t, (int32_t))                                                \
  X(otmDetachProcess, int32_t, (int32_t)) \
  X(aCopyArray, int32_t, (const double*, double*, int32_t, int32_t)) \
  X(aElemOrder, int32_t, (const double*)) \
  X(aElemOrderEx, int32_t, (const void*, int32_t)) \
  X(aElemOrderGet, int32_t, (void)) \
  X(aElemOrderSet, int32_t, (int32_t)) \
  X(aElemOrderSt, int32_t, (const qd_char*)) \
  X(SetMatrix, intptr_t, (const qd_char*, double*, int32_t, int32_t, int32_t)) \
  X(SetStrMatrix, intptr_t, (const qd_char*, int32_t, int32_t, int32_t)) \
  X(FindMatrix, intptr_t, (const qd_char*, int32_t, int32_t*, int32_t*, int32_t)) \
  X(GetMatrixByLong, int32_t, (intptr_t, intptr_t, int32_t, int32_t)) \
  X(ClearMatrixList, int32_t, (intptr_t)) \
  X(GetMatrixList, const qd_char*, (int32_t)) \
  X(aPrint, const qd_char*, (const double*, int32_t, int32_t, const qd_char*, const qd_char*, const qd_char*, const qd_char*)) \
  X(aPrintEx, int32_t, (const double*, int32_t, int32_t, const qd_char*, const qd_char*, const qd_char*, const qd_char*, qd_char*)) \
  X(aShow, const qd_char*, (const double*, int32_t, int32_t)) \
  X(aShowByLong, const qd_char*, (intptr_t, int32_t, int32_t)) \
  X(aCopy, int32_t, (const double*, int32_t, int32_t, double*)) \
  X(aDupl, int32_t, (const double*, int32_t, int32_t, double*)) \
  X(aCombine, int32_t, (void)) \
  X(aInsert, int32_t, (void)) \
  X(aSub, int32_t, (void)) \
  X(aSum, int32_t, (const double*, int32_t, int32_t, const double*, double*)) \
  X(aDiff, int32_t, (const double*, int32_t, int32_t, const double*, double*)) \
  X(aSumMem, int32_t, (const double*, int32_t, int32_t, const double*, double*)) \
  X(aDiffMem, int32_t, (const double*, int32_t, int32_t, const double*, double*)) \
  X(aSumScal, int32_t, (double*, int32_t, int32_t, double)) \
  X(aProdScal, int32_t, (double*, int32_t, int32_t, double)) \
  X(aOpp, int32_t, (double*, int32_t, int32_t)) \
  X(aMultEx, int32_t, (const double*, int32_t, int32_t, const double*, int32_t, int32_t, double*)) \
  X(aMultSq, int32_t, (const double*, int32_t, const double*, double*)) \
  X(aMultVect, int32_t, (const double*, int32_t, int32_t, const double*, double*)) \
  X(aMultVectSq, int32_t, (const double*, int32_t, const double*, double*)) \
  X(aPow, int32_t, (const double*, int32_t, int32_t, double*)) \
  X(aTrasp, int32_t, (double*, int32_t, int32_t)) \
  X(aTraspEx, int32_t, (const double*, int32_t, int32_t, double*)) \
  X(aTraspSq, int32_t, (double*, int32_t)) \
  X(aSwap, int32_t, (double*, int32_t, int32_t, double*)) \
  X(aSwapRC, int32_t, (double*, int32_t, int32_t, int32_t, int32_t, int32_t)) \
  X(aDet, int32_t, (const double*, int32_t, double*)) \
  X(aDetN, double, (const double*, int32_t)) \
  X(aDiag, int32_t, (double*, int32_t)) \
  X(aInv, int32_t, (double*, int32_t)) \
  X(aDiv, int32_t, (const double*, int32_t, const double*, double*)) \
  X(aSist, int32_t, (const double*, int32_t, const double*, double*)) \
  X(aTrace, int32_t, (const double*, int32_t, double*)) \
  X(aTraceN, double, (const double*, int32_t)) \
  X(aMatrMod, int32_t, (const double*, int32_t, double*)) \
  X(aVectMod, int32_t, (const double*, int32_t, double*)) \
  X(aMatrIsZero, int32_t, (const double*, int32_t)) \
  X(aMatrIsUnit, int32_t, (const double*, int32_t)) \
  X(aMatrIsSing, int32_t, (const double*, int32_t)) \
  X(aMatrIsOrtog, int32_t, (const double*, int32_t)) \
  X(aMatrAreOrtog, int32_t, (const double*, int32_t, const double*)) \
  X(aMatrAreEquals, int32_t, (const double*, int32_t, int32_t, const double*, int32_t, int32_t)) \
  X(aCalcVectCoeff, int32_t, (const double*, int32_t, int32_t, const double*, double*)) \
  X(aCalcCoeffPolin, int32_t, (const double*, int32_t, int32_t, double*)) \
  X(aGetYPolin, int32_t, (const double*, const double*, int32_t, double*)) \
  X(aGetXsOfQuadr, int32_t, (const double*, const double*, int32_t, double*, double*))

/* One pointer type and one pointer per export. The _Static_assert refuses to
 * compile when the pointer type differs from the header's declaration (calling
 * convention included); the operand of _Generic is never evaluated, so no
 * reference to the symbol is made. */
#define QD_DECLARE(name, ret, params)                                              \
  typedef ret(QD_CALL* pf_##name) params;                                          \
  _Static_assert(_Generic(&name, pf_##name: 1, default: 0), #name " differs from quadrel.h"); \
  static pf_##name p_##name;
QD_EXPORTS(QD_DECLARE)

/* ---- checks --------------------------------------------------------------- */

static int passed, failed;

static void check_at(int ok, int line, const char* fmt, ...) {
  if (ok) {
    ++passed;
    return;
  }
  ++failed;
  printf("FAIL line %d: ", line);
  va_list args;
  va_start(args, fmt);
  vprintf(fmt, args);
  va_end(args);
  printf("\n");
}
#define CHECK(cond, ...) check_at((cond) != 0, __LINE__, __VA_ARGS__)
#define CHECK_INT(got, want) \
  do { long long g_ = (got), w_ = (want); CHECK(g_ == w_, "%s = %lld, expected %lld", #got, g_, w_); } while (0)
/* Exact comparison: results must be bit-for-bit those of the native build. */
#define CHECK_NUM(got, want) \
  do { double g_ = (got), w_ = (want); CHECK(g_ == w_, "%s = %.17g, expected %.17g", #got, g_, w_); } while (0)

/* ---- UTF-16 texts from ASCII ---------------------------------------------- */

/* Rotating pool: a result stays valid for the next 15 calls. */
static const qd_char* T(const char* ascii) {
  static qd_char pool[16][256];
  static unsigned next;
  qd_char* t = pool[next++ % 16];
  size_t i = 0;
  for (; ascii[i] && i < 255; ++i) t[i] = (qd_char)(unsigned char)ascii[i];
  t[i] = 0;
  return t;
}

/* Writes ASCII into a caller's buffer (for "capacity = text already in it"). */
static qd_char* fill(qd_char* buffer, const char* ascii) {
  size_t i = 0;
  for (; ascii[i]; ++i) buffer[i] = (qd_char)(unsigned char)ascii[i];
  buffer[i] = 0;
  return buffer;
}

static size_t len16(const qd_char* t) {
  size_t n = 0;
  while (t && t[n]) ++n;
  return n;
}

/* A text as printable ASCII for messages (other characters as \uXXXX). */
static const char* show(const qd_char* t) {
  static char out[4][600];
  static unsigned next;
  char* o = out[next++ % 4];
  size_t k = 0;
  if (!t) return "(null)";
  for (size_t i = 0; t[i] && k + 8 < sizeof out[0]; ++i) {
    unsigned c = (unsigned)t[i];
    if (c >= 32 && c < 127) o[k++] = (char)c;
    else k += (size_t)sprintf(o + k, "\\u%04x", c);
  }
  o[k] = 0;
  return o;
}

static int text_is(const qd_char* got, const char* want) {
  if (!got) return 0;
  size_t i = 0;
  for (; want[i]; ++i)
    if (got[i] != (qd_char)(unsigned char)want[i]) return 0;
  return got[i] == 0;
}
#define CHECK_TEXT(got, want) \
  do { const qd_char* g_ = (got); CHECK(text_is(g_, want), "%s = \"%s\", expected \"%s\"", #got, show(g_), want); } while (0)

/* ---- loading ---------------------------------------------------------------- */


/* Looks up every export by its plain name; each must be there. */
static int load_exports(void) {
  int all = 1;
#define QD_LOAD(name, ret, params)                                  \
  {                                                                 \
    any_fn address = symbol(#name);                                 \
    CHECK(address != NULL, "export %s not found by its plain name", #name); \
    if (!address) all = 0;                                          \
    p_##name = (pf_##name)address;                                  \
  }
  QD_EXPORTS(QD_LOAD)
#undef QD_LOAD
  return all;
}

/* ---- the checks, by area -------------------------------------------------------- */

static void test_evaluation(void) {
  double r = -1;
  CHECK_INT(p_e_eval(T("1+2*3"), &r, 0), 0);
  CHECK_NUM(r, 7);
  CHECK_INT(p_GetE_Error(), -1); /* -1: no error */

  r = -1;
  CHECK_INT(p_e_eval(T("1/0"), &r, 0), 8);
  CHECK_INT(p_GetE_Error(), 8);
  /* An overflow: de_eval gives e_eval's code. */
  CHECK_INT(p_e_eval(T("10^400"), &r, 0), 8);
  CHECK_NUM(p_de_eval(T("10^400"), 0), 8.0);
  CHECK_INT(p_GetE_Error(), 8);

  /* Powers associate to the left; the double comes back in the right register. */
  CHECK_NUM(p_de_eval(T("2^3^2"), 0), 64);
  /* Built-ins compute in double precision, and #pi is the full constant. */
  CHECK_INT(p_e_eval(T("sin(1)"), &r, 0), 0);
  CHECK_NUM(r, 0.8414709848078965);
  CHECK_INT(p_e_eval(T("#pi*10^10"), &r, 0), 0);
  CHECK_NUM(r, 31415926535.897930);

  /* Comparisons give the configured truth value. */
  p_SetBoolSign(1);
  r = 0;
  CHECK_INT(p_e_eval(T("3>2"), &r, 0), 0);
  CHECK_NUM(r, 1);
  p_SetBoolSign(-1);
}

static void test_sampling(void) {
  /* Doubles passed by value between pointers: the stack layout of e_evals. */
  double xs[5], ys[5], info[5];
  static const double want_x[5] = {-1, -0.5, 0, 0.5, 1};
  static const double want_y[5] = {1, 0.25, 0, 0.25, 1};
  static const double want_info[5] = {0, -1, 0, 1, 1};
  for (int i = 0; i < 5; ++i) xs[i] = ys[i] = info[i] = 99;
  CHECK_INT(p_e_evals(T("x^2"), -1.0, T("x"), 1.0, 4, xs, ys, info), -1);
  for (int i = 0; i < 5; ++i) {
    CHECK(xs[i] == want_x[i], "e_evals xs[%d] = %.17g, expected %g", i, xs[i], want_x[i]);
    CHECK(ys[i] == want_y[i], "e_evals ys[%d] = %.17g, expected %g", i, ys[i], want_y[i]);
    CHECK(info[i] == want_info[i], "e_evals info[%d] = %.17g, expected %g", i, info[i], want_info[i]);
  }
}

static void test_errors(void) {
  CHECK_TEXT(p_GetE_ErrDescr(8, 0), "Division by zero             (Module: eval & sDiff)");
  CHECK_TEXT(p_GetE_ErrDescr(-25, 0), "Orders not equal               (Module: aMatr)");
  CHECK_INT(p_SetE_Error(5), 5);
  CHECK_INT(p_GetE_Error(), 5);
  p_SetE_Error(0);

  /* The log size is answered in bytes: two per UTF-16 character. */
  qd_char buffer[4096];
  int32_t before = p_GetErrorMsgs(buffer, 0, 0);
  CHECK(before >= 0 && before % 2 == 0, "GetErrorMsgs size %d", (int)before);
  p_SetErrorMsgs(T("abi_test"), 42, T("extra text"));
  int32_t after = p_GetErrorMsgs(buffer, 0, 0);
  CHECK(after > before, "GetErrorMsgs size did not grow: %d -> %d", (int)before, (int)after);
  /* count characters and a zero are copied. */
  int32_t count = after / 2 < 4000 ? after / 2 : 4000;
  for (int i = 0; i < 4096; ++i) buffer[i] = 0x2A;
  CHECK_INT(p_GetErrorMsgs(buffer, count, 0), after);
  CHECK_INT(len16(buffer), count);
  buffer[3] = 0x2A;
  for (int i = 4; i < 8; ++i) buffer[i] = 0x2A;
  p_GetErrorMsgs(buffer, 3, 0);
  CHECK(buffer[3] == 0 && buffer[4] == 0x2A, "GetErrorMsgs(count 3) wrote beyond count + 1");
}

static void test_constants_and_numbers(void) {
  double r = 0;
  p_e_get_const(T("PI"), &r);
  CHECK_NUM(r, 3.1415926536);
  CHECK_TEXT(p_StrD0(T("3.1400000000")), "3.14");
}

static int text_starts_with_ascii(const qd_char* got, const char* want);

static void test_differentiation(void) {
  qd_char buffer[64];
  fill(buffer, "..............................");
  CHECK_INT(p_e_diff(T("x^3+2*x"), T("x"), buffer, 30), 7);
  CHECK_TEXT(buffer, "3*x^2+2");
  CHECK_INT(p_GetE_Error(), -1);
  CHECK_INT(p_GetLast_diffErr(), 0);

  /* A buffer holding 5 characters receives the first 5 and a zero; the
   * answer is still the full length. */
  fill(buffer, "12345");
  buffer[6] = 0x2A;
  CHECK_INT(p_e_diff(T("x^3+2*x"), T("x"), buffer, 5), 7);
  CHECK_TEXT(buffer, "3*x^2");
  CHECK(buffer[6] == 0x2A, "e_diff wrote beyond the buffer's text");
  /* Null or empty buffers receive nothing. */
  CHECK_INT(p_e_diff(T("sin(2*x)"), T("x"), NULL, 0), 10);
  buffer[0] = 0;
  buffer[1] = 0x2A;
  CHECK_INT(p_e_diff(T("sin(2*x)"), T("x"), buffer, 0), 10);
  CHECK(buffer[1] == 0x2A, "e_diff wrote into an empty buffer");

  /* Failures: code 6 for a parse error, 7 for an empty formula, 8 for a
   * division by zero (whose text is still written). */
  fill(buffer, "..........");
  CHECK_INT(p_e_diff(T("2*-x"), T("x"), buffer, 10), 0);
  CHECK_INT(p_GetE_Error(), 6);
  CHECK_INT(p_GetLast_diffErr(), 1);
  CHECK_INT(p_e_diff(NULL, NULL, NULL, 0), 0);
  CHECK_INT(p_GetE_Error(), 7);
  CHECK_INT(p_GetLast_diffErr(), 7);
  fill(buffer, "..........");
  CHECK_INT(p_e_diff(T("x/0"), T("x"), buffer, 10), 0);
  CHECK_INT(p_GetE_Error(), 8);
  CHECK(buffer[0] != '.', "e_diff did not write the text of a division by zero");

  CHECK_INT(p_SetDiffLogF(0, NULL), 0);

  static qd_char list[2000];
  CHECK_INT(p_GetDiff_OperAndFuncs(NULL), 0);
  int32_t written = p_GetDiff_OperAndFuncs(list);
  CHECK(written > 1000 && written < 2000, "GetDiff_OperAndFuncs wrote %d characters", (int)written);
  CHECK_INT(len16(list) + 1, written);
  CHECK(text_starts_with_ascii(list, "Library: oTemar.dll - Version: 0.0.4.9 (build: 66)\r\nSupported Constants:"),
        "GetDiff_OperAndFuncs text \"%s\"", show(list));
}

static void test_stores(void) {
  qd_char buffer[64], text[64];
  double r = 0, v = 0;
  p_ClearVarFuncList(T("vars"));
  CHECK_INT(p_SetVarFunct(T("x"), T("2"), 0), 1);
  CHECK_INT(p_e_eval(T("x*3"), &r, 0), 0);
  CHECK_NUM(r, 6);

  CHECK(p_FindVarFunct(T("x"), 0, &v, NULL) != 0, "FindVarFunct did not find x");
  CHECK_NUM(v, 2);
  CHECK_INT(p_FindVarFunct(T("nosuchname"), 0, &v, NULL), 0);

  CHECK_INT(p_GetVarFuncListLen(T("vars")), 4);
  for (int i = 0; i < 64; ++i) buffer[i] = 0x2A;
  CHECK_INT(p_GetVarFuncList(buffer, 3, T("vars")), 3);
  CHECK_TEXT(buffer, "x=2");

  /* A user function: its text comes back into a buffer whose present text
   * gives the room. */
  CHECK(p_SetVarFunct(T("f"), T("x+1"), 1) != 0, "SetVarFunct of a function failed");
  fill(text, "..........");
  CHECK(p_FindVarFunct(T("f"), 1, &v, text) != 0, "FindVarFunct did not find f");
  CHECK(len16(text) > 0 && len16(text) <= 10, "FindVarFunct text \"%s\"", show(text));
  p_ClearVarFuncList(T("vars"));
  CHECK_INT(p_GetVarFuncListLen(T("vars")), 0);
}

static void test_library_info(void) {
  qd_char file_version[32], product_version[32];
  fill(file_version, "untouched");
  fill(product_version, "untouched");
  CHECK_INT(p_DisplayVerInfo(NULL, file_version, product_version), 2);
  CHECK_TEXT(file_version, "0.0.4.9");
  CHECK_TEXT(product_version, "0.0.4.9");
  /* The empty name: the library's own file too (natively its built-in version). */
  fill(file_version, "untouched");
  fill(product_version, "untouched");
  CHECK_INT(p_DisplayVerInfo(T(""), file_version, product_version), 2);
  CHECK_TEXT(file_version, "0.0.4.9");
  CHECK_TEXT(product_version, "0.0.4.9");
  const qd_char* about = p_aAbout(1); /* answers only, shows nothing */
  CHECK(about && len16(about) > 0, "aAbout(1) gave an empty text");
  CHECK_INT(p_otmAttachThread(0), 0);
  CHECK_INT(p_otmDetachThread(0), 0);
}

/* ---- files in a temporary folder -------------------------------------------- */

#if defined(_WIN32)
#define SEP "\\"
static int make_temp_folder(char* out, size_t size) {
  char base[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, base);
  if (n == 0 || n >= MAX_PATH) return 0;
  snprintf(out, size, "%squadrel_abi_%lu", base, (unsigned long)GetCurrentProcessId());
  return CreateDirectoryA(out, NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
}
static void remove_folder(const char* path) { RemoveDirectoryA(path); }
#else
#define SEP "/"
static int make_temp_folder(char* out, size_t size) {
  if (snprintf(out, size, "/tmp/quadrel_abi_XXXXXX") >= (int)size) return 0;
  return mkdtemp(out) != NULL;
}
static void remove_folder(const char* path) { rmdir(path); }
#endif

/* A path as the command line of the script entry takes it: every "/" there
 * starts an option, so a native path is given with "\" (a separator too). */
static const char* command_path(const char* path) {
  static char out[600];
  size_t i = 0;
  for (; path[i] && i + 1 < sizeof out; ++i) out[i] = path[i] == '/' ? '\\' : path[i];
  out[i] = 0;
  return out;
}

/* UTF-16 text equals ASCII bytes (up to the end of want). */
static int text_starts_with_ascii(const qd_char* got, const char* want) {
  for (size_t i = 0; want[i]; ++i)
    if (!got || got[i] != (qd_char)(unsigned char)want[i]) return 0;
  return 1;
}

/* The run's result text read through GetEvalResult: flag 0 gives its
 * length, then a buffer holding that many blanks receives the text. */
static qd_char* eval_result(int32_t* length) {
  *length = p_GetEvalResult(NULL, 0);
  if (*length < 0) return NULL;
  qd_char* text = malloc(((size_t)*length + 1) * sizeof(qd_char));
  if (!text) return NULL;
  for (int32_t i = 0; i < *length; ++i) text[i] = ' ';
  text[*length] = 0;
  CHECK_INT(p_GetEvalResult(text, 1), *length);
  return text;
}

static int contains_ascii(const qd_char* text, const char* want) {
  size_t n = len16(text), m = strlen(want);
  for (size_t at = 0; at + m <= n; ++at)
    if (text_starts_with_ascii(text + at, want)) return 1;
  return 0;
}

/* The script entry with a script file: /i runs it, /o writes Result.otm
 * beside it, /log keeps a run log. LoadSaveFile then reads the input file
 * back (6) and saves that text to the output file (7). */
static void test_script_file(void) {
  static const char script[] = "Expr = 2+3\nVar = x ; 2,5\nExpr = x*2\nx = 5\n";
  char folder[400], input[520], output[520], line[700];
  if (!make_temp_folder(folder, sizeof folder)) {
    CHECK(0, "could not make a temporary folder");
    return;
  }
  snprintf(input, sizeof input, "%s" SEP "script.otm", folder);
  snprintf(output, sizeof output, "%s" SEP "Result.otm", folder);
  CHECK(write_file(input, script), "could not write %s", input);

  snprintf(line, sizeof line, "/i %s /o /log", command_path(input));
  CHECK_INT(p_otmEvalMain(T(line)), -1);

  char* written = read_file(output);
  CHECK(written != NULL, "%s was not written", output);
  if (written) {
    CHECK(strstr(written, "Ln 1: EXPR = 2+3:") != NULL, "Result.otm lacks line 1:\n%s", written);
    CHECK(strstr(written, "Ln 3: EXPR = x*2:") != NULL, "Result.otm lacks line 3:\n%s", written);
    CHECK(strstr(written, "Number = 5.0000") != NULL, "Result.otm lacks the number:\n%s", written);
    CHECK(strstr(written, "Ln 4: Expression = :\r\n Result => ===> ERROR n. = 25: Undefined Command/Keyword") != NULL,
          "Result.otm lacks the error of line 4:\n%s", written);
    CHECK(strstr(written, "'Executed Commands: 4, Errors found: 1\r\n") != NULL,
          "Result.otm lacks the count of commands:\n%s", written);
    CHECK(strstr(written, "'--- End Of BatchRun : Time ") != NULL, "Result.otm lacks its closing line:\n%s", written);
  }

  /* The result text is the file without its closing line. */
  int32_t length = -1;
  qd_char* result = eval_result(&length);
  CHECK(length > 100, "GetEvalResult length %d", (int)length);
  if (result && written) {
    /* Each character of the result is the file's byte at the same place (all ASCII). */
    int same = (size_t)length < strlen(written);
    for (int32_t i = 0; same && i < length; ++i) same = result[i] == (qd_char)(unsigned char)written[i];
    CHECK(same, "GetEvalResult text is not the start of Result.otm: \"%s\"", show(result));
    const char* after = same ? written + length : "";
    CHECK(strncmp(after, "'--- End Of BatchRun", 20) == 0, "Result.otm goes on after the result text with \"%.30s\"",
          after);
  }
  /* A smaller buffer receives as many characters as it holds blanks. */
  qd_char five[8];
  fill(five, "     ");
  CHECK_INT(p_GetEvalResult(five, 1), 5);
#ifdef _WIN32
  CHECK_TEXT(five, "'Plug"); /* 'Plugin name: Quadrel.dll ... */
#else
  CHECK_TEXT(five, "'Libr"); /* 'Library name: libquadrel.so ... */
#endif
  free(result);
  free(written);

  /* The input file back as the script text (lines end with CR LF), then
   * saved to the output file. */
  CHECK_INT(p_LoadSaveFile(6), -1);
  CHECK_INT(p_LoadSaveFile(7), -1);
  written = read_file(output);
  CHECK(written && strcmp(written, "Expr = 2+3\r\nVar = x ; 2,5\r\nExpr = x*2\r\nx = 5\r\n") == 0,
        "Result.otm after LoadSaveFile(6), (7): \"%s\"", written ? written : "(unreadable)");
  free(written);

  remove(output);
  remove(input);
  remove_folder(folder);
}

/* A selection from the command line: its result goes to the clipboard. */
static void test_selection_to_clipboard(void) {
  CHECK_INT(p_otmEvalMain(T("/noh /sclp /sel:'Expr = 2/4' /")), -1);
  int32_t length = -1;
  qd_char* result = eval_result(&length);
  CHECK(result && text_starts_with_ascii(result, "Ln 1: EXPR = 2/4:"), "selection result \"%s\"", show(result));
  CHECK(result && contains_ascii(result, "\r\n Result => Number = 0.5000"), "selection result \"%s\"", show(result));
  /* No header: the result text is the evaluated line only. */
  CHECK(result && !contains_ascii(result, "BatchRun"), "selection result has a header: \"%s\"", show(result));
#if defined(_WIN32)
  int same = 0;
  if (OpenClipboard(NULL)) {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? (const wchar_t*)GlobalLock(data) : NULL;
    same = text && result && wcscmp(text, result) == 0;
    CHECK(same, "clipboard text \"%s\" differs from the result", text ? show(text) : "(none)");
    if (text) GlobalUnlock(data);
    CloseClipboard();
  } else {
    CHECK(0, "OpenClipboard failed: error %lu", (unsigned long)GetLastError());
  }
#else
  /* Natively there is no system clipboard (the library's platform keeps the
   * text to itself), so the clipboard is not checked here. */
#endif
  free(result);

  /* Selected text whose "/" is followed by an option's letters stays text:
   * no about box, nothing left over for the next run. */
  struct {
    const char* line;
    const char* value;
  } rows[] = {
      {"/noh /nln /sel:'Expr = 1/abs(2)' /", " Result => Number = 0.5000"},
      {"/noh /nln /sel:'Expr = 1/ln(2)' /", " Result => Number = 1.4427"},
      {"/noh /nln /sel:'Expr = 90/deg' /", " Result => Number = 1.5708"},
      {"/noh /nln /sel:'Expr = 2+2' /", " Result => Number = 4.0000"},
  };
  for (size_t k = 0; k < sizeof rows / sizeof rows[0]; ++k) {
    CHECK_INT(p_otmEvalMain(T(rows[k].line)), -1);
    result = eval_result(&length);
    CHECK(result && text_starts_with_ascii(result, rows[k].value), "%s gave \"%s\"", rows[k].line, show(result));
    free(result);
  }
}

/* The message log: a message of the evaluator (a wrong truth value) goes
 * to it while the mode says "log" and the parser's messages are on. */
static void test_debug_log(void) {
  qd_char untouched[4];
  fill(untouched, "abc");
  int32_t before = p_GetDebugLog(untouched, 0, 0);
  CHECK(before >= 0 && before % 2 == 0, "GetDebugLog size %d", (int)before);
  CHECK_TEXT(untouched, "abc"); /* count 0 only answers the size */

  int32_t mode = p_SetDebugF(4);
  p_ShowMsgs(1);
  p_SetBoolSign(5);
  p_ShowMsgs(0);
  CHECK_INT(p_SetDebugF(mode), 4);
  static const char message[] = "\r\nProcedure: SetBoolSign\r\nWrong parameter. Must be 1 or -1";
  int32_t after = p_GetDebugLog(NULL, 0, 0);
  CHECK_INT(after, before + 2 * (int32_t)strlen(message));
  if (after > before && after < 8000) {
    qd_char* log = malloc((size_t)after / 2 * sizeof(qd_char) + sizeof(qd_char));
    if (log) {
      CHECK_INT(p_GetDebugLog(log, after / 2, 0), after);
      CHECK(text_starts_with_ascii(log + before / 2, message) && log[after / 2] == 0,
            "message log ends with \"%s\"", show(log + before / 2));
      free(log);
    }
  }
}

/* Null where a text is expected reads as the empty text; nothing crashes. */
static void test_null_texts(void) {
  double r = 0;
  CHECK_INT(p_e_eval(NULL, &r, 0), 3);
  p_de_eval(NULL, 0);
  double xs[2], ys[2], info[5];
  p_e_evals(NULL, 0.0, NULL, 1.0, 1, xs, ys, info);
  CHECK(p_StrD0(NULL) != NULL, "StrD0(NULL) gave null");
  p_e_get_const(NULL, &r);
  p_SetVarFunct(NULL, NULL, 0);
  CHECK_INT(p_FindVarFunct(NULL, 0, &r, NULL), 0);
  p_GetVarFuncListLen(NULL);
  p_SetErrorMsgs(NULL, 0, NULL);
  CHECK_INT(p_e_diff(T("x"), NULL, NULL, 0), 1);
  CHECK_INT(p_SetDiffLogF(0, NULL), 0);
  CHECK(p_GetE_ErrDescr(123456, 1) != NULL, "GetE_ErrDescr of an unknown code gave null");
  CHECK(p_GetStErrDescr(-123456) != NULL, "GetStErrDescr of an unknown status gave null");
  CHECK_INT(p_GetVarFuncList(NULL, 10, T("vars")), 0);
}

/* Matrices through the exports, under both element orders. */
static void test_matrices(void) {
  int32_t rows = 0, cols = 0;
  double d = 0;
  CHECK_INT(p_aElemOrderGet(), -1);
  CHECK_INT(p_aElemOrderSet(2), 17);
  CHECK_INT(p_ClearMatrixList(0), 0);

  /* The store: a text definition, found by name and by its address. */
  CHECK_INT(p_SetStrMatrix(T("[mA];2;2;1;2;3;4"), 0, 1, 0), 0);
  intptr_t a = p_FindMatrix(T(" [MA] "), 33, &rows, &cols, 0);
  CHECK(a != 0, "FindMatrix gave no address");
  CHECK_INT(rows, 2);
  CHECK_INT(cols, 2);
  CHECK_INT(p_FindMatrix(T("[mA]"), 34, NULL, NULL, 0), 0); /* position 0, null pointers skipped */
  CHECK_INT(p_GetE_Error(), -1);
  CHECK_INT(p_FindMatrix(T("[nothing]"), 34, NULL, NULL, 1), 0);
  CHECK_INT(p_GetE_Error(), 14);
  CHECK_INT(p_SetStrMatrix(T("m;2;2;1;2;3"), 0, 0, 0), 12);
  CHECK_INT(p_SetStrMatrix(T("m;0;0;1"), 0, 0, 0), 11);
  CHECK_INT(p_SetStrMatrix(NULL, 0, 0, 0), 13);

  /* A handle carried in a double round-trips exactly. */
  double handle = 0;
  CHECK_INT(p_e_eval(T("[mA]*2"), &handle, 0), 1);
  CHECK_INT(p_GetResultType(), 1);
  double out[4] = {0, 0, 0, 0};
  CHECK_INT(p_GetMatrixByLong((intptr_t)handle, (intptr_t)out, 2, 2), -1);
  CHECK_NUM(out[1], 4.0);
  CHECK_NUM(out[3], 8.0);
  CHECK_INT(p_GetMatrixByLong(0, (intptr_t)out, 2, 2), 15);
  CHECK_INT(p_GetMatrixByLong(a, (intptr_t)out, 0, 2), 5);
  CHECK_INT(p_GetMatrixByLong((intptr_t)handle, (intptr_t)out, 3, 3), 5); /* more than it holds */
  CHECK_NUM(p_de_eval(T("det([mA])"), 0), -2.0);
  /* The evaluation freed the handle's matrix: refused, never read. */
  CHECK_INT(p_GetMatrixByLong((intptr_t)handle, (intptr_t)out, 2, 2), 15);
  CHECK_INT(p_GetE_Error(), 15);
  CHECK_TEXT(p_aShowByLong((intptr_t)handle, 2, 2), "");
  CHECK_INT(p_GetE_Error(), 15);
  p_de_eval(T("[mA]T"), 0);
  intptr_t result = p_FindMatrix(T("[mResult]"), 33, &rows, &cols, 0);
  CHECK(result != 0 && result != a, "[mResult] missing or sharing a buffer");
  if (result) CHECK_NUM(((const double*)result)[1], 3.0);
  CHECK_INT(p_e_eval(T("[mA]*[mA]T+1"), &d, 0), 1);
  CHECK_INT(p_e_eval(T("[mA]^0,5"), &d, 0), 9);
  CHECK_INT(p_e_eval(T("[nothing]+1"), &d, 0), 14);

  /* Texts. */
  const double m[4] = {1, 2, 3, 4};
  CHECK_TEXT(p_aPrint(m, 2, 2, T("String"), T(""), T("M"), T("")),
             "M\r\nA(0,0)=1.0000\tA(0,1)=2.0000\t\r\nA(1,0)=3.0000\tA(1,1)=4.0000\t");
  qd_char buffer[16];
  fill(buffer, "12345");
  CHECK_INT(p_aPrintEx(m, 1, 1, T("String"), NULL, NULL, NULL, buffer), 5);
  CHECK_TEXT(buffer, "\r\nV(0");
  fill(buffer, "");
  buffer[1] = 'x';
  p_aPrintEx(m, 1, 1, T("String"), NULL, NULL, NULL, buffer);
  CHECK_INT(buffer[1], 'x');
  CHECK_INT(p_aPrintEx(m, 1, 1, NULL, NULL, NULL, NULL, NULL), 1);
  const qd_char* list = p_GetMatrixList(0);
  CHECK(list && len16(list) > 20, "GetMatrixList gave no listing");

  /* The library, row order. */
  double inv[4] = {4, 7, 2, 6};
  CHECK_INT(p_aInv(inv, 2), -1);
  CHECK(fabs(inv[0] - 0.6) < 1e-15 && fabs(inv[1] + 0.7) < 1e-15, "aInv of [[4,7],[2,6]]");
  double sing[4] = {1, 2, 2, 4};
  CHECK_INT(p_aInv(sing, 2), 7);
  CHECK_NUM(sing[1], 2.0);
  double x[2];
  const double sa[4] = {2, 1, 1, 3}, sb[2] = {3, 5};
  CHECK_INT(p_aSist(sa, 2, sb, x), -1);
  CHECK(fabs(x[0] - 0.8) < 1e-15 && fabs(x[1] - 1.4) < 1e-15, "aSist gave %g %g", x[0], x[1]);
  CHECK_INT(p_aDet(m, 2, &d), -1);
  CHECK_NUM(d, -2.0);
  CHECK_NUM(p_aDetN(m, 2), -2.0);
  CHECK_NUM(p_aTraceN(m, 2), 5.0);
  double c6[6];
  CHECK_INT(p_aMultEx(m, 2, 2, m, 1, 4, c6), 10);
  const double ident[4] = {1, 0, 0, 1};
  CHECK_INT(p_aMatrIsOrtog(ident, 2), -1);
  CHECK_INT(p_aMatrIsUnit(ident, 2), -1);
  double x1 = 9, x2 = 9, y = 0;
  const double quad[3] = {-4, 0, 1}, lin[2] = {1, 0};
  CHECK_INT(p_aGetXsOfQuadr(&y, quad, 3, &x1, &x2), -1);
  CHECK_NUM(x1, 2.0);
  CHECK_INT(p_aGetXsOfQuadr(&y, lin, 2, &x1, &x2), 13);
  CHECK_NUM(x1, 0.0);
  CHECK_INT(p_aDet(NULL, 2, &d), 15);
  CHECK_INT(p_aInv(inv, 0), 5);
  CHECK_INT(p_aSwap(NULL, 1, 1, inv), 15);
  CHECK_INT(p_aCombine(), 0);

  /* Column order: converted once on entry and once on exit. */
  CHECK_INT(p_aElemOrderSet(1), -1);
  const double src[6] = {1, 2, 3, 4, 5, 6};
  double dst[6];
  CHECK_INT(p_aCopyArray(src, dst, 2, 3), -1);
  CHECK(dst[1] == 3 && dst[3] == 2, "aCopyArray under column order");
  double colA[4] = {1, 3, 2, 4}, colB[4] = {0, 1, 1, 0}, colC[4];
  CHECK_INT(p_aMultSq(colA, 2, colB, colC), -1);
  CHECK(colC[0] == 2 && colC[1] == 4 && colC[2] == 1 && colC[3] == 3, "aMultSq under column order");
  CHECK_INT(p_aDiv(colA, 2, colB, colC), -1);
  CHECK(colC[0] == 2 && colC[1] == 4 && colC[2] == 1 && colC[3] == 3, "aDiv under column order");
  /* SetMatrix converts on entry; formulas see rows in order. */
  static double colM[4] = {1, 3, 2, 4};
  p_SetMatrix(T("[mc]"), colM, 2, 2, 0);
  CHECK_NUM(p_de_eval(T("det([mc])"), 0), -2.0);
  CHECK_INT(p_e_eval(T("[mc]*[mc]"), &handle, 0), 1);
  CHECK_INT(p_GetMatrixByLong((intptr_t)handle, (intptr_t)out, 2, 2), -1);
  CHECK(out[0] == 7 && out[1] == 15 && out[2] == 10 && out[3] == 22, "[mc]*[mc] under column order");
  CHECK_TEXT(p_aPrint(colA, 2, 2, T("String"), T("0."), T(""), T(" ")), "\r\nA(0,0)=1 A(0,1)=2 \r\nA(1,0)=3 A(1,1)=4 ");
  int32_t probe = 0;
  CHECK_INT(p_aElemOrderEx(&probe, 2), -1);
  CHECK_INT(p_aElemOrderEx(NULL, 3), 0);
  CHECK_INT(p_aElemOrderSt(T("VB")), 1);
  CHECK_INT(p_aElemOrderSet(0), -1);
  CHECK(p_ClearMatrixList(0) >= 3, "ClearMatrixList(0) deleted too few");
  CHECK_INT(p_FindMatrix(T("[mA]"), 33, NULL, NULL, 0), 0);
}

static void test_numeric(void) {
  /* Doubles by value between texts and integers: the stack layout of Integrate. */
  double r = 99;
  CHECK_INT(p_Integrate(T("x^2"), 0.0, 1.0, 2, 0, T("x"), &r), 0);
  CHECK_NUM(r, 0.3125);
  CHECK_INT(p_Integrate(T("x^2"), 0.0, 1.0, 2, 1, T("X"), &r), 0);
  CHECK_NUM(r, 0.375);
  CHECK_INT(p_Integrate(T("exp(x)"), 0.0, 1.0, 3, 2, T("x"), &r), 22);
  CHECK_INT(p_Integrate(T("x"), 0.0, 1.0, 0, 0, T("x"), &r), 13);
  CHECK_INT(p_Integrate(T("x"), 0.0, 1.0, 2, 0, T("x"), NULL), 5);
  CHECK_INT(p_Integrate(NULL, 0.0, 1.0, 2, 0, NULL, &r), 3);
  CHECK_NUM(p_dIntegrate(T("2*t"), 0.0, 2.0, 4, 2, T("t")), 4);
  CHECK_NUM(p_dIntegrate(T("2*t"), 0.0, 2.0, 3, 2, T("t")), 4); /* refused: the cell stays */
  CHECK_INT(p_IntBezier2D(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12), 0);

  CHECK_TEXT(p_Poly_dydx(T("x^3-2x+5"), T("x")), "3*x^2 - 2");
  CHECK_TEXT(p_lPoly_dydx(T("-x^2"), T("x")), " - 2*x");
  CHECK_TEXT(p_Poly_dydx(NULL, NULL), "");
  CHECK_NUM(p_dSolve(T("x^2-4"), T("x")), 2);
  r = 0;
  CHECK_INT(p_SolveD(T("x^2-4"), T("x"), &r), -1);
  CHECK_NUM(r, 2);
  r = 7;
  CHECK_INT(p_SolveD(T("x^2;junk"), T("x"), &r), -1); /* differentiation fails: nothing stored */
  CHECK_NUM(r, 7);
  CHECK_INT(p_GetE_Error(), 6);
  CHECK_NUM(p_dPolySolve(T("x^2-4"), T("x")), 2);
  r = 0;
  CHECK_INT(p_NewtSolve(T("x+1"), T("x"), &r), -1);
  CHECK_NUM(r, 1);
  CHECK_INT(p_NewtSolve(T("x+1"), T("x"), NULL), 5);
  CHECK_TEXT(p_sPolyNewt(T("x^2-4"), T("x"), 200), "2");
  CHECK_TEXT(p_sSolve(T("x^2-4"), T("x"), 5), "2.0000000000");

  CHECK_INT(p_IsPrime(997), -1);
  CHECK_INT(p_IsPrime(529), 0);
  CHECK_INT(p_lIsPrime(25), 5);
  CHECK_INT(p_GCF(-12, 18), 6);
  CHECK_INT(p_GCF(0, 0), 0);
  CHECK_INT(p_LCM(-4, 6), 12);
  CHECK_INT(p_LCM(0, 0), 0);
  CHECK_NUM(p_fact(5), 120);
  CHECK_NUM(p_fact_inv(), 0);
  double x = 1.5, x1 = 1, x2 = 2, y1 = 10, y2 = 20;
  r = 0;
  CHECK_INT(p_InterpLin(&x, &x1, &x2, &y1, &y2, &r), 0);
  CHECK_NUM(r, 15);
  CHECK_INT(p_InterpLin(&x, NULL, &x2, &y1, &y2, &r), 5);

  /* RC4 of "Plaintext" with the key "Key": BB F3 16 E8 D9 40 AF 0A D3. */
  static const unsigned want[9] = {0xBB, 0xF3, 0x16, 0xE8, 0xD9, 0x40, 0xAF, 0x0A, 0xD3};
  const qd_char* c = p_RC4(T("Plaintext"), T("Key"));
  CHECK_INT(len16(c), 9);
  for (int i = 0; i < 9; ++i) CHECK(c[i] == want[i], "RC4 character %d = %u", i, (unsigned)c[i]);
  qd_char copy[16];
  for (int i = 0; i < 10; ++i) copy[i] = c[i];
  CHECK_TEXT(p_RC4S(copy, T("Key")), "Plaintext");
  CHECK_TEXT(p_RC4(T("abc"), NULL), "abc");
}

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : DEFAULT_LIBRARY;
  setvbuf(stdout, NULL, _IONBF, 0);
  if (!open_library(path)) {
    printf("0 passed, 1 failed\n");
    return 1;
  }
  if (load_exports()) {
    test_evaluation();
    test_sampling();
    test_errors();
    test_constants_and_numbers();
    test_stores();
    test_differentiation();
    test_library_info();
    test_script_file();
    test_selection_to_clipboard();
    test_debug_log();
    test_null_texts();
    test_matrices();
    test_numeric();
  }
  printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
