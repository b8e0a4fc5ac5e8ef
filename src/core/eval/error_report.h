// Error reports: one block appended to the error log per failure.
#pragma once

#include <cstdint>

#include "core/eval/error_table.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Appends a report for the current code, with the lexer's state; gives the
// length of the whole log afterwards.
size_t addReport(Engine& e, TextView procedure, int32_t line, TextView extra);

// Description of a code (-99: the current code, in the matrix library's
// words when it raised it); with details, " | " and the whole error log
// follow.
Text describe(Engine& e, int32_t code, bool details);

// Sets the code when none is pending and appends a report; a pending code
// stands (the first failure of an evaluation is the one reported).
void raise(Engine& e, int32_t code, TextView procedure, int32_t line, TextView extra);

// raise for a failure of the matrix library inside a formula: the code is
// described by the matrix library's entry ("Matrix singolar" for 7).
void raiseMatrixFailure(Engine& e, int32_t code, TextView procedure, int32_t line, TextView extra);

// The description of a code: the matrix library's text when it is the
// pending code and the matrix library raised it, else describeCode.
TextView describeError(const Engine& e, int32_t code);

// The one way the evaluator code is written: a code, or none.
void setErrorCode(Engine& e, int32_t code);
inline void clearErrorCode(Engine& e) { setErrorCode(e, kNoError); }

void clearErrorLog(Engine& e);

// Sets whether script runs show error messages (SetErrorMsgsF, ErrorMsgs);
// gives the flag before.
int32_t setMessagesFlag(Engine& e, int32_t flag);

}  // namespace quadrel
