// Exports of the symbolic differentiation.
#include "core/diff/diff_trace.h"
#include "core/diff/differentiate.h"
#include "exports/export_support.h"

using namespace quadrel;

extern "C" {

QD_API int32_t QD_CALL e_diff(const qd_char* formula, const qd_char* variable, qd_char* buffer, int32_t) {
  return guarded<int32_t>(0, [&] {
    Engine& e = engine();
    Text answer;
    const bool ok = differentiate(e, in(formula), in(variable), answer);
    // The buffer's capacity is the length of the text it holds now.
    if (buffer && !answer.empty())
      copyOut(buffer, int64_t(capacityOf(buffer)), answer);
    return ok ? clampToInt32(answer.size()) : 0;
  });
}

QD_API int8_t QD_CALL GetLast_diffErr(void) {
  return guarded<int8_t>(kDiffFailed, [] { return engine().diff.errorFlag; });
}

QD_API uint8_t QD_CALL SetDiffLogF(uint8_t mode, const qd_char* file) {
  return guarded<uint8_t>(0, [&] { return setDiffTrace(engine(), mode, in(file)); });
}

QD_API int32_t QD_CALL GetDiff_OperAndFuncs(qd_char* buffer) {
  return guarded<int32_t>(0, [&] {
    if (!buffer)
      return 0;
    const Text list = diffOperatorsAndFunctions(engine());
    return copyOut(buffer, int64_t(list.size()), list) + 1;
  });
}

}  // extern "C"
