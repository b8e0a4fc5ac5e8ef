/* Quadrel public C interface.
 *
 * Every export of Quadrel.dll (32-bit Windows, stdcall, undecorated names)
 * and of libquadrel.so (plain C calling convention) is declared here with
 * the one calling-convention macro QD_CALL.
 *
 * Texts are zero-terminated UTF-16. A returned text pointer points into a
 * static buffer of the library that stays valid until the next call of the
 * same function. Null text pointers are read as the empty text.
 *
 * The library is one process-wide engine and is serialised, not parallel:
 * every export takes one process-wide lock, so calls from several threads
 * are served one after another, never at the same time. A returned text
 * pointer may be overwritten by another thread's call of the same export.
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

/* Symbolic differentiation. e_diff writes the derivative of formula with
 * respect to variable into buffer: at most as many characters as the text
 * already in buffer holds, and a zero (a null or empty buffer receives
 * nothing). Answers the derivative's full length, 0 on error (see
 * GetE_Error and GetLast_diffErr: 0 none, 1 an error, 7 empty formula).
 * The fourth argument is ignored. SetDiffLogF sets the trace (mode 0 off,
 * 1 file, 2 message boxes) and answers the mode. GetDiff_OperAndFuncs
 * writes the list of operators and functions and a zero into buffer (the
 * caller provides 2000 characters) and answers the characters written with
 * the zero, 0 for a null buffer. */
QD_API int32_t QD_CALL e_diff(const qd_char* formula, const qd_char* variable, qd_char* buffer, int32_t ignored);
QD_API int8_t QD_CALL GetLast_diffErr(void);
QD_API uint8_t QD_CALL SetDiffLogF(uint8_t mode, const qd_char* file);
QD_API int32_t QD_CALL GetDiff_OperAndFuncs(qd_char* buffer);

/* Number text. */
QD_API const qd_char* QD_CALL StrD0(const qd_char* text);

/* Matrix store, element order and matrix texts. Matrices are flat buffers
 * of rows x cols doubles in the caller's element order (aElemOrderSet: 0 by
 * row, 1 by column). Every value that carries an address is intptr_t: a
 * 32-bit value in the 32-bit library. SetMatrix adopts a buffer it does not
 * know (converting it to row order where it lies); the caller keeps it
 * alive. */
QD_API int32_t QD_CALL aCopyArray(const double* src, double* dst, int32_t a, int32_t b);
QD_API int32_t QD_CALL aElemOrder(const double* probe);
/* what 0: aElemOrder(arg); 2: aElemOrderSet(*(int32_t*)arg); 3: aElemOrderGet(). */
QD_API int32_t QD_CALL aElemOrderEx(const void* arg, int32_t what);
QD_API int32_t QD_CALL aElemOrderGet(void);
QD_API int32_t QD_CALL aElemOrderSet(int32_t order);
QD_API int32_t QD_CALL aElemOrderSt(const qd_char* language);
QD_API intptr_t QD_CALL SetMatrix(const qd_char* name, double* data, int32_t rows, int32_t cols, int32_t returnAddress);
QD_API intptr_t QD_CALL SetStrMatrix(const qd_char* text, int32_t returnAddress, int32_t evaluate, int32_t unused);
/* flags: 1 address, 2 position; 8 match by address text, 32 by name.
 * rows and cols are written only when not null. */
QD_API intptr_t QD_CALL FindMatrix(const qd_char* name, int32_t flags, int32_t* rows, int32_t* cols, int32_t trace);
/* How long a matrix handle lives: the handle of a named matrix until the
 * matrix is redefined with another shape, cleared or reset; the handle a
 * formula gives (e_eval of "[a]T", say) until the next evaluation (e_eval,
 * de_eval, e_evals, a script run) or ClearMatrixList. After that
 * GetMatrixByLong and aShowByLong refuse it with code 15 and an error report
 * (aShowByLong gives the empty text): the library holds the memory of the
 * last 1024 matrices it let go (at most 16 MB) before it frees it, so a
 * stale handle is never read. A handle older than that is no longer known;
 * do not keep handles past their end. Both also refuse, with code 5, more
 * rows x cols than a matrix of the library holds. Buffers of the caller's
 * own are read as given. */
QD_API int32_t QD_CALL GetMatrixByLong(intptr_t source, intptr_t destination, int32_t rows, int32_t cols);
QD_API int32_t QD_CALL ClearMatrixList(intptr_t keep);
QD_API const qd_char* QD_CALL GetMatrixList(int32_t withValues);
QD_API const qd_char* QD_CALL aPrint(const double* data, int32_t rows, int32_t cols, const qd_char* mode,
                                     const qd_char* format, const qd_char* title, const qd_char* separator);
/* buffer: its current text length is its capacity (a zero follows). */
QD_API int32_t QD_CALL aPrintEx(const double* data, int32_t rows, int32_t cols, const qd_char* mode,
                                const qd_char* format, const qd_char* title, const qd_char* separator, qd_char* buffer);
QD_API const qd_char* QD_CALL aShow(const double* data, int32_t rows, int32_t cols);
QD_API const qd_char* QD_CALL aShowByLong(intptr_t data, int32_t rows, int32_t cols);

/* Matrix operations: -1 for success or a matrix library code; the tests
 * answer -1 (true) or 0. Null matrices give 15, non-positive orders 5. */
QD_API int32_t QD_CALL aCopy(const double* a, int32_t rows, int32_t cols, double* b);
QD_API int32_t QD_CALL aDupl(const double* a, int32_t rows, int32_t cols, double* b);
QD_API int32_t QD_CALL aCombine(void);
QD_API int32_t QD_CALL aInsert(void);
QD_API int32_t QD_CALL aSub(void);
QD_API int32_t QD_CALL aSum(const double* a, int32_t rows, int32_t cols, const double* b, double* c);
QD_API int32_t QD_CALL aDiff(const double* a, int32_t rows, int32_t cols, const double* b, double* c);
QD_API int32_t QD_CALL aSumMem(const double* a, int32_t rows, int32_t cols, const double* b, double* c);
QD_API int32_t QD_CALL aDiffMem(const double* a, int32_t rows, int32_t cols, const double* b, double* c);
QD_API int32_t QD_CALL aSumScal(double* a, int32_t rows, int32_t cols, double s);
QD_API int32_t QD_CALL aProdScal(double* a, int32_t rows, int32_t cols, double s);
QD_API int32_t QD_CALL aOpp(double* a, int32_t rows, int32_t cols);
QD_API int32_t QD_CALL aMultEx(const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb, int32_t cb,
                               double* c);
QD_API int32_t QD_CALL aMultSq(const double* a, int32_t n, const double* b, double* c);
QD_API int32_t QD_CALL aMultVect(const double* a, int32_t rows, int32_t cols, const double* v, double* r);
QD_API int32_t QD_CALL aMultVectSq(const double* a, int32_t n, const double* v, double* r);
QD_API int32_t QD_CALL aPow(const double* a, int32_t n, int32_t p, double* r);
QD_API int32_t QD_CALL aTrasp(double* a, int32_t rows, int32_t cols);
QD_API int32_t QD_CALL aTraspEx(const double* a, int32_t rows, int32_t cols, double* b);
QD_API int32_t QD_CALL aTraspSq(double* a, int32_t n);
QD_API int32_t QD_CALL aSwap(double* a, int32_t rows, int32_t cols, double* b);
QD_API int32_t QD_CALL aSwapRC(double* a, int32_t rows, int32_t cols, int32_t byRows, int32_t i, int32_t j);
QD_API int32_t QD_CALL aDet(const double* a, int32_t n, double* det);
QD_API double QD_CALL aDetN(const double* a, int32_t n);
QD_API int32_t QD_CALL aDiag(double* a, int32_t n);
QD_API int32_t QD_CALL aInv(double* a, int32_t n);
QD_API int32_t QD_CALL aDiv(const double* a, int32_t n, const double* b, double* c);
QD_API int32_t QD_CALL aSist(const double* a, int32_t n, const double* b, double* x);
QD_API int32_t QD_CALL aTrace(const double* a, int32_t n, double* trace);
QD_API double QD_CALL aTraceN(const double* a, int32_t n);
QD_API int32_t QD_CALL aMatrMod(const double* v, int32_t n, double* norm);
QD_API int32_t QD_CALL aVectMod(const double* v, int32_t n, double* norm);
QD_API int32_t QD_CALL aMatrIsZero(const double* a, int32_t n);
QD_API int32_t QD_CALL aMatrIsUnit(const double* a, int32_t n);
QD_API int32_t QD_CALL aMatrIsSing(const double* a, int32_t n);
QD_API int32_t QD_CALL aMatrIsOrtog(const double* a, int32_t n);
QD_API int32_t QD_CALL aMatrAreOrtog(const double* a, int32_t n, const double* b);
QD_API int32_t QD_CALL aMatrAreEquals(const double* a, int32_t ra, int32_t ca, const double* b, int32_t rb, int32_t cb);
QD_API int32_t QD_CALL aCalcVectCoeff(const double* a, int32_t m, int32_t n, const double* y, double* c);
QD_API int32_t QD_CALL aCalcCoeffPolin(const double* points, int32_t count, int32_t coefficients, double* c);
QD_API int32_t QD_CALL aGetYPolin(const double* x, const double* c, int32_t count, double* y);
QD_API int32_t QD_CALL aGetXsOfQuadr(const double* y, const double* c, int32_t count, double* x1, double* x2);
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
/* SolveD: the start value, then 20 Newton steps with the derivative from
 * e_diff; the root stored at root (when not null) and e_error given, or -1
 * with nothing stored when the differentiation failed. */
QD_API int32_t QD_CALL SolveD(const qd_char* formula, const qd_char* name, double* root);
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
