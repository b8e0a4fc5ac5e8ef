// Exports of the evaluation entries, constants and number text.
#include <cmath>

#include "core/eval/builtins.h"
#include "core/eval/evaluator.h"
#include "core/text/number_text.h"
#include "exports/eval_answer.h"
#include "exports/export_support.h"

using namespace quadrel;

extern "C" {

QD_API int32_t QD_CALL e_eval(const qd_char* formula, double* result, int32_t check) {
  return guarded<int32_t>(kErrUndefined,
                          [&] { return evalAnswer(evaluate(engine(), in(formula), check != 0), result); });
}

QD_API double QD_CALL de_eval(const qd_char* formula, int32_t check) {
  return guarded<double>(double(kErrUndefined),
                         [&] { return deEvalAnswer(evaluateKeepingResult(engine(), in(formula), check != 0)); });
}

QD_API int32_t QD_CALL e_evals(const qd_char* formula, double x0, const qd_char* variable, double x1, int32_t n,
                               double* xs, double* ys, double* info) {
  return guarded<int32_t>(
      kErrUndefined, [&] { return evaluateSamples(engine(), in(formula), x0, in(variable), x1, n, xs, ys, info); });
}

QD_API int32_t QD_CALL GetResultType(void) {
  return guarded<int32_t>(-1, [] { return int32_t(engine().eval.resultType); });
}

QD_API int32_t QD_CALL SetBoolSign(int32_t sign) {
  return guarded<int32_t>(0, [&] { return setBoolSign(engine(), sign); });
}

QD_API int32_t QD_CALL GetEvalResult(qd_char* buffer, int32_t flag) {
  return guarded<int32_t>(0, [&] {
    const Text& result = engine().script.resultText;
    if (flag == 0)
      return clampToInt32(result.size());
    if (!buffer)
      return 0;
    return copyOut(buffer, int64_t(capacityOf(buffer)), result);
  });
}

QD_API int32_t QD_CALL e_get_const(const qd_char* name, double* result) {
  return guarded<int32_t>(0, [&] { return getConstant(engine(), in(name), result); });
}

QD_API const qd_char* QD_CALL StrD0(const qd_char* text) {
  return guarded<const qd_char*>(reinterpret_cast<const qd_char*>(u"0"), [&] {
    LibraryState& lib = library();
    lib.strD0 = trimNumberText(in(text));
    return out(lib.strD0);
  });
}

}  // extern "C"
