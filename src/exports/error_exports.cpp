// Exports of the error code, its descriptions and the error log.
#include "core/diag/log_export.h"
#include "core/ground/error_report.h"
#include "exports/export_support.h"

using namespace quadrel;

extern "C" {

QD_API int32_t QD_CALL GetE_Error(void) {
  return guarded<int32_t>(kErrUndefined, [] { return engine().errors.code; });
}

QD_API int32_t QD_CALL SetE_Error(int32_t code) {
  return guarded<int32_t>(kErrUndefined, [&] {
    setErrorCode(engine(), code);
    return code;
  });
}

QD_API const qd_char* QD_CALL GetE_ErrDescr(int32_t code, uint8_t details) {
  return guarded<const qd_char*>(reinterpret_cast<const qd_char*>(u""), [&] {
    LibraryState& lib = library();
    lib.errDescr = describe(lib.engine, code, details != 0);
    return out(lib.errDescr);
  });
}

QD_API const qd_char* QD_CALL GetStErrDescr(int32_t status) {
  return guarded<const qd_char*>(reinterpret_cast<const qd_char*>(u""), [&] {
    LibraryState& lib = library();
    lib.stErrDescr = Text(statusText(status));
    return out(lib.stErrDescr);
  });
}

QD_API int32_t QD_CALL SetErrorMsgs(const qd_char* procedure, int32_t line, const qd_char* extra) {
  return guarded<int32_t>(0, [&] { return clampToInt32(addReport(engine(), in(procedure), line, in(extra))); });
}

QD_API int32_t QD_CALL GetErrorMsgs(qd_char* buffer, int32_t count, uint8_t show) {
  return guarded<int32_t>(
      0, [&] { return exportErrorLog(engine(), reinterpret_cast<char16_t*>(buffer), count, show != 0); });
}

QD_API int32_t QD_CALL SetErrorMsgsF(int32_t flag) {
  return guarded<int32_t>(0, [&] { return setMessagesFlag(engine(), flag); });
}

}  // extern "C"
