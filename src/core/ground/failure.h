// The one way a failure is raised. A failure is a value (which table
// describes its code, the code, the procedure and the report's line number);
// the caller says what happens to a failure already pending. The report
// itself (error_report.h) also records where the lexer stands.
#pragma once

#include <cstdint>

#include "core/ground/error_table.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Which table gives the description of a failure's code.
enum class FailureModule : uint8_t {
  Evaluator,      // entry code + 30 ("(Module: eval)")
  MatrixLibrary,  // entry code + 1 ("(Module: aMatr)"), the same number read in the library's words
};

// What a new failure does to one already pending.
enum class Pending : uint8_t {
  Stands,    // the first failure of an evaluation is the one reported
  Replaced,  // this failure replaces it (a new operation starts)
};

struct Failure {
  int32_t code = kErrUndefined;
  TextView procedure;
  // The report's "Line:" number; it tells the places of one procedure apart.
  int32_t line = 0;
  TextView extra;  // first lines of the report's extended information
  FailureModule module = FailureModule::Evaluator;
  // False: the code is set but no report is written (a lookup whose caller
  // has not asked for a trace).
  bool reported = true;
};

// Raises f. With Pending::Stands nothing happens while a code is pending;
// otherwise the code is set and, when reported, a report appended.
void fail(Engine& e, const Failure& f, Pending pending);

// The one mapping of the matrix library's codes into the evaluator's
// failures: a code of the library keeps its number and is described in the
// library's own words.
Failure matrixLibraryFailure(MatrixCode code, TextView procedure, int32_t line, TextView extra);

// The evaluator's shorthand: its first failure stands.
inline void raise(Engine& e, int32_t code, TextView procedure, int32_t line, TextView extra) {
  fail(e, Failure{code, procedure, line, extra}, Pending::Stands);
}

}  // namespace quadrel
