// Process and thread hooks for programs that load the library themselves.
// The system's own load step has already initialised everything.
#include "exports/export_support.h"

using namespace quadrel;

extern "C" {

QD_API int32_t QD_CALL otmAttachProcess(int32_t) { return 0; }

QD_API int32_t QD_CALL otmAttachThread(int32_t) {
  return guarded<int32_t>(0, [] {
    engine().matrix.rawCopy = -1;
    return int32_t(0);
  });
}

QD_API int32_t QD_CALL otmDetachThread(int32_t) {
  return guarded<int32_t>(0, [] {
    engine().matrix.rawCopy = 0;
    return int32_t(0);
  });
}

QD_API int32_t QD_CALL otmDetachProcess(int32_t) { return 0; }

}  // extern "C"
