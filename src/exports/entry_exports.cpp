// Export of the script entry.
#include "core/script/command_line.h"
#include "exports/export_support.h"

using namespace quadrel;

extern "C" {

QD_API int32_t QD_CALL otmEvalMain(const qd_char* cmdLine) {
  return guarded<int32_t>(kStatusInvalidParameter, [&] { return otmEvalMain(engine(), in(cmdLine)); });
}

}  // extern "C"
