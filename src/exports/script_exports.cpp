// Exports of the script layer's file operations.
#include "core/script/load_save_modes.h"
#include "exports/export_support.h"

using namespace quadrel;

extern "C" {

QD_API int32_t QD_CALL LoadSaveFile(uint8_t mode) {
  return guarded<int32_t>(kStatusWriteError, [&] { return loadSaveFile(engine(), mode); });
}

}  // extern "C"
