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
