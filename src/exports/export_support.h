// Shared plumbing of the C exports: the process-wide engine, conversions
// between the C text type and core texts, static result buffers, and the
// guard that keeps every failure from crossing the boundary.
#pragma once

#include <cstdint>
#include <mutex>
#include <new>

#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/text/u16.h"
#include "quadrel.h"

namespace quadrel {

// The process-wide state behind the exports.
struct LibraryState {
  Engine& engine;
  // Texts handed out by exports live here until the next call of the same export.
  Text errDescr, stErrDescr, strD0;
  // Solver texts (sPolyNewt, sSolve, Poly_dydx), the cipher's text (RC4) and
  // the library's result text (RC4S).
  Text solverText, cipherText, resultText;
};

LibraryState& library();
inline Engine& engine() { return library().engine; }

inline TextView in(const qd_char* p) { return viewOf(reinterpret_cast<const char16_t*>(p)); }
inline const qd_char* out(const Text& t) { return reinterpret_cast<const qd_char*>(t.c_str()); }

// Copies at most count characters of text and a terminating zero into
// buffer; gives the number of characters copied.
int32_t copyOut(qd_char* buffer, int64_t count, TextView text);

// Length of the text already in a caller's buffer: its capacity by convention.
inline size_t capacityOf(const qd_char* buffer) {
  return zeroTerminatedLength(reinterpret_cast<const char16_t*>(buffer));
}

inline int32_t clampToInt32(size_t n) { return n > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(n); }

// The one lock of the library: every export and every entry of the plug-in
// holds it while it runs, so callers on several threads are served one at a
// time. Recursive, because a run pumps the thread's messages and a window of
// the library may call in again on the same thread.
std::recursive_mutex& libraryLock();

// Runs body under the library's lock; anything that escapes (an allocation
// failure, say) becomes the code 0, "stop before completion", and the
// fallback answer.
template <class R, class F>
R guarded(R fallback, F&& body) noexcept {
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
    try {
      return body();
    } catch (...) {
      setErrorCode(engine(), kErrUndefined);
      engine().eval.inProgress = false;
      return fallback;
    }
  } catch (...) {
    return fallback;
  }
}

}  // namespace quadrel
