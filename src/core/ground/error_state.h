// The failure state of the library: the code of the last operation, the
// error log and what the reports need. Every subsystem writes it through
// error_report.h only.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct ErrorState {
  int32_t code = 0;  // e_error: -1 none, 0 stop before completion, >0 a code
  // The code is the matrix library's (raised inside a formula): its own
  // table entry describes it, not the evaluator's text of the same number.
  bool matrixLibrary = false;
  Text log;                  // grows by one report per failure
  Text extendedInfo;         // extra block of the most recent report
  int32_t messagesFlag = 0;  // SetErrorMsgsF; read by the script layer only
};

}  // namespace quadrel
