// Process-wide state of the script layer between and during runs.
#pragma once

#include <csignal>
#include <cstdint>
#include <vector>

#include "core/script/run_settings.h"
#include "core/text/u16.h"

namespace quadrel {

constexpr int32_t kStatusOk = -1;
constexpr int32_t kStatusOpenError = -2;
constexpr int32_t kStatusWriteError = -3;
constexpr int32_t kStatusCancelled = -4;
constexpr int32_t kStatusInvalidParameter = -5;
// A run asked for while another is in progress (from a window that pumps
// messages during a run): refused, nothing of the running one is touched.
// Outside the status texts (-2 to -9), like every code beyond them.
constexpr int32_t kStatusRunRefused = -10;

struct LogSinkState {
  Text fileName;             // current log file; empty until a line names one
  bool fileCreated = false;  // the first write of the process replaces the file
  bool windowOpen = false;
  int32_t windowCounter = 0;
};

struct ScriptState {
  RunSettings settings;
  Text scriptText;       // read by runs and file loads, replaced by results
  Text resultText;       // result text of the last script run (read by GetEvalResult)
  int32_t decimals = 4;  // decimals of results (plug-in setting "Decimals")
  int32_t status = kStatusOk;
  // True counts of the last batch run of the entry.
  int64_t lastRunCommands = 0;
  int64_t lastRunErrors = 0;
  std::vector<CommandValue> values;  // of the last run with collectValues
  Text polynomialVariable;           // set by VarPolyn
  int32_t plotWindowCount = 0;
  LogSinkState logSink;
  bool progressOpen = false;
  // Set by a caller that can be interrupted (the quadrel program's Ctrl+C):
  // while it reads non-zero, runs stop before their next line and long
  // loops (integration) stop with code 0, "exit before completion".
  const volatile std::sig_atomic_t* interruptRequest = nullptr;
  bool interrupted() const { return interruptRequest && *interruptRequest != 0; }
  bool runInProgress = false;  // a script run or a plot redraw is running

  // The status of the last run or matrix operation, as the status export
  // reports it; other subsystems set it through here.
  void setStatus(int32_t code) { status = code; }
};

// Marks a run in progress for its lifetime.
class RunScope {
 public:
  explicit RunScope(ScriptState& s) : s_(s) { s_.runInProgress = true; }
  ~RunScope() { s_.runInProgress = false; }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  ScriptState& s_;
};

}  // namespace quadrel
