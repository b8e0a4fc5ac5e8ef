// Exports of the variable and user-function stores and the evaluator reset.
#include "core/eval/store_ops.h"
#include "core/ground/error_table.h"
#include "exports/export_support.h"

using namespace quadrel;

extern "C" {

QD_API int32_t QD_CALL SetVarFunct(const qd_char* name, const qd_char* value, int32_t kind) {
  return guarded<int32_t>(0, [&] { return clampToInt32(defineEntry(engine(), in(name), in(value), kind != 0)); });
}

QD_API int32_t QD_CALL FindVarFunct(const qd_char* name, int32_t kind, double* value_out, qd_char* text_out) {
  return guarded<int32_t>(0, [&] {
    Engine& e = engine();
    const NamedEntry* entry = findEntry(e, in(name), kind != 0);
    if (!entry)
      return int32_t(0);
    if (kind == 0) {
      if (value_out)
        *value_out = entry->value;
    } else {
      if (text_out)
        copyOut(text_out, int64_t(capacityOf(text_out)), entry->text);
      if (value_out)
        *value_out = double(entry->text.size());
    }
    return int32_t(kErrVarFound);
  });
}

QD_API int32_t QD_CALL GetVarFuncList(qd_char* buffer, int32_t count, const qd_char* which) {
  return guarded<int32_t>(0, [&] { return copyOut(buffer, count, storeNamed(engine(), in(which)).listText()); });
}

QD_API int32_t QD_CALL GetVarFuncListLen(const qd_char* which) {
  return guarded<int32_t>(0, [&] { return clampToInt32(storeNamed(engine(), in(which)).listLength()); });
}

QD_API int32_t QD_CALL ClearVarFuncList(const qd_char* which) {
  return guarded<int32_t>(0, [&] {
    storeNamed(engine(), in(which)).clear();
    return int32_t(1);
  });
}

QD_API int32_t QD_CALL ReSetRaRarevo(void) {
  return guarded<int32_t>(0, [] {
    resetEvaluator(engine());
    return int32_t(0);
  });
}

}  // extern "C"
