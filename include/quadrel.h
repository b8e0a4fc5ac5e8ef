/* Quadrel public C interface.
 *
 * Every export of Quadrel.dll (32-bit Windows, stdcall, undecorated names)
 * and of libquadrel.so (plain C calling convention) is declared here with
 * the one calling-convention macro QD_CALL.
 *
 * Texts are zero-terminated UTF-16. A returned text pointer points into a
 * static buffer of the library that stays valid until the next call of the
 * same function. Null text pointers are read as the empty text.
 */
#ifndef QUADREL_H
#define QUADREL_H

#include <stdint.h>

#if defined(_WIN32)
#define QD_CALL __stdcall
typedef wchar_t qd_char;
#else
#define QD_CALL
#if !defined(__cplusplus)
#include <uchar.h>
#endif
typedef char16_t qd_char;
#endif

#if defined(QUADREL_BUILDING)
#if defined(_WIN32)
#define QD_API __declspec(dllexport)
#else
#define QD_API __attribute__((visibility("default")))
#endif
#else
#if defined(_WIN32)
#define QD_API __declspec(dllimport)
#else
#define QD_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Error code, descriptions and the error log. */
QD_API int32_t QD_CALL GetE_Error(void);
QD_API int32_t QD_CALL SetE_Error(int32_t code);
QD_API const qd_char* QD_CALL GetE_ErrDescr(int32_t code, uint8_t details);
QD_API const qd_char* QD_CALL GetStErrDescr(int32_t status);
QD_API int32_t QD_CALL SetErrorMsgs(const qd_char* procedure, int32_t line, const qd_char* extra);
/* Copies at most count characters of the log and a zero into buffer
 * (count + 1 characters of room); answers the log size in bytes. */
QD_API int32_t QD_CALL GetErrorMsgs(qd_char* buffer, int32_t count, uint8_t show);
QD_API int32_t QD_CALL SetErrorMsgsF(int32_t flag);

/* Evaluation. */
QD_API int32_t QD_CALL e_eval(const qd_char* formula, double* result, int32_t check);
QD_API double QD_CALL de_eval(const qd_char* formula, int32_t check);
/* xs and ys hold n + 1 doubles, info 5 doubles. */
QD_API int32_t QD_CALL e_evals(const qd_char* formula, double x0, const qd_char* variable, double x1, int32_t n,
                               double* xs, double* ys, double* info);
QD_API int32_t QD_CALL GetResultType(void);
QD_API int32_t QD_CALL SetBoolSign(int32_t sign);
/* flag 0: answers the length of the last run's result text. Otherwise
 * copies at most as many characters as the text already in buffer holds. */
QD_API int32_t QD_CALL GetEvalResult(qd_char* buffer, int32_t flag);

/* Constants. */
QD_API int32_t QD_CALL e_get_const(const qd_char* name, double* result);

/* Variables and user functions (kind 0: variables, other: functions;
 * which: "vars" for variables, anything else for functions). */
QD_API int32_t QD_CALL SetVarFunct(const qd_char* name, const qd_char* value, int32_t kind);
/* text_out, when not null, receives at most as many characters as the text
 * already in it holds, and a terminating zero. */
QD_API int32_t QD_CALL FindVarFunct(const qd_char* name, int32_t kind, double* value_out, qd_char* text_out);
QD_API int32_t QD_CALL GetVarFuncList(qd_char* buffer, int32_t count, const qd_char* which);
QD_API int32_t QD_CALL GetVarFuncListLen(const qd_char* which);
QD_API int32_t QD_CALL ClearVarFuncList(const qd_char* which);
QD_API int32_t QD_CALL ReSetRaRarevo(void);

/* Number text. */
QD_API const qd_char* QD_CALL StrD0(const qd_char* text);

/* Numerical integration. method 0 midpoint, 1 trapezoid, 2 Simpson (n even);
 * the variable is replaced as a whole identifier (lower-cased) by each
 * abscissa. Integrate answers what the last evaluation answered (0 for a
 * number; judge success by GetE_Error), or 5 (result null), 13 (n below 1 or
 * above 100000000), 19 (unknown method; 0 stored), 22 (Simpson, odd n).
 * dIntegrate answers its result cell (0.0 at load; unchanged on 5, 13, 22).
 * IntBezier2D does nothing and answers 0. */
QD_API int32_t QD_CALL Integrate(const qd_char* formula, double a, double b, int32_t n, int32_t method,
                                 const qd_char* variable, double* result);
QD_API double QD_CALL dIntegrate(const qd_char* formula, double a, double b, int32_t n, int32_t method,
                                 const qd_char* variable);
QD_API int32_t QD_CALL IntBezier2D(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                   int32_t, int32_t, int32_t);

/* Equation and polynomial solvers over a named variable (stored with
 * ten decimals before every evaluation). NewtSolve stores the start value
 * (answers the error code, 5 when root is null); dPolySolve answers it;
 * sPolyNewt answers it as text (max_steps clamped to 1..20000). dSolve: the
 * root after 20 Newton steps with the polynomial derivative. sSolve: the root
 * as text after steps (1..20000) Newton steps on ten-decimal texts.
 * Poly_dydx and lPoly_dydx answer the derivative polynomial's text. The four
 * texts share one buffer, valid until the next of these calls. */
QD_API int32_t QD_CALL NewtSolve(const qd_char* formula, const qd_char* name, double* root);
QD_API double QD_CALL dPolySolve(const qd_char* formula, const qd_char* name);
QD_API const qd_char* QD_CALL sPolyNewt(const qd_char* formula, const qd_char* name, int32_t max_steps);
QD_API double QD_CALL dSolve(const qd_char* polynomial, const qd_char* name);
QD_API const qd_char* QD_CALL sSolve(const qd_char* polynomial, const qd_char* name, int32_t steps);
QD_API const qd_char* QD_CALL Poly_dydx(const qd_char* polynomial, const qd_char* name);
QD_API const qd_char* QD_CALL lPoly_dydx(const qd_char* polynomial, const qd_char* name);

/* Integer, interpolation and cipher helpers. IsPrime answers -1 for a prime,
 * else 0; lIsPrime the smallest odd divisor or -1; GCF and LCM work on |a|
 * and |b| (GCF(0, 0) = 0; LCM 0 when an argument is 0 or the result exceeds
 * 32 bits; GCF 0 for its one result beyond 32 bits). InterpLin stores
 * y1 + (x - x1) / (x2 - x1) * (y2 - y1) and answers 0, or 5 when an address
 * is null. RC4 answers the enciphered text (a result byte 0 is carried as
 * U+0100); RC4S a copy of it in the library's result text. */
QD_API int32_t QD_CALL IsPrime(int32_t n);
QD_API int32_t QD_CALL lIsPrime(int32_t n);
QD_API int32_t QD_CALL GCF(int32_t a, int32_t b);
QD_API int32_t QD_CALL LCM(int32_t a, int32_t b);
QD_API double QD_CALL fact(int32_t n);
QD_API double QD_CALL fact_inv(void);
QD_API int32_t QD_CALL InterpLin(const double* x, const double* x1, const double* x2, const double* y1,
                                 const double* y2, double* result);
QD_API const qd_char* QD_CALL RC4(const qd_char* text, const qd_char* key);
QD_API const qd_char* QD_CALL RC4S(const qd_char* text, const qd_char* key);

/* Script entry: runs the command line of "/" options (/i FILE, /o FILE,
 * /sel:'...', /h, ...). Answers the status code: -1 after a run, -5 when
 * there was nothing to run. GetEvalResult reads the run's result text. */
QD_API int32_t QD_CALL otmEvalMain(const qd_char* cmdLine);

/* Script files. mode 1 log file, 2 command list, 4 choose a name, 6 read the
 * input file, 7 save to the output file, 8 choose a file and save; the text
 * read or written is the script text. Answers the status code. */
QD_API int32_t QD_CALL LoadSaveFile(uint8_t mode);

/* Message channel and diagnostics. SetDebugF answers the previous mode. */
QD_API int32_t QD_CALL SetDebugF(int32_t mode);
QD_API int32_t QD_CALL ShowMsgs(int32_t level);
/* Copies at most count characters of the message log and a zero into buffer
 * (count + 1 characters of room); answers the log size in bytes. */
QD_API int32_t QD_CALL GetDebugLog(qd_char* buffer, int32_t count, uint8_t show);
/* fileName empty or null: the library's own file. Each out buffer, when not
 * null, receives a version "a.b.c.d" of at most 23 characters and a zero:
 * the caller provides at least 24 characters. Answers 2, or 0 when the file
 * has no version information (the buffers are then left untouched). */
QD_API int32_t QD_CALL DisplayVerInfo(const qd_char* fileName, qd_char* fileVersionOut, qd_char* productVersionOut);
/* flag 0 shows the about text in a box, 1 only answers it (after its caption). */
QD_API const qd_char* QD_CALL aAbout(int32_t flag);

/* String-passing tests; each shows two boxes. TestStr answers the static
 * text "123". TestStrPtr writes an 11-character text and a zero to address
 * (at least 12 characters of room) and answers address; TestStrPtr2 writes a
 * 14-character text and a zero (at least 15 characters) and answers a static
 * copy of it. A null address is read as empty and written to never. */
QD_API const qd_char* QD_CALL TestStr(const qd_char* text);
QD_API qd_char* QD_CALL TestStrPtr(qd_char* address);
QD_API const qd_char* QD_CALL TestStrPtr2(qd_char* address);

/* Process and thread hooks for programs that load the library themselves.
 * The thread hooks set (attach) and clear (detach) the matrix store's
 * raw-copy switch; all four answer 0. */
QD_API int32_t QD_CALL otmAttachProcess(int32_t instance);
QD_API int32_t QD_CALL otmAttachThread(int32_t x);
QD_API int32_t QD_CALL otmDetachThread(int32_t x);
QD_API int32_t QD_CALL otmDetachProcess(int32_t x);

#ifdef __cplusplus
}
#endif

#endif /* QUADREL_H */
