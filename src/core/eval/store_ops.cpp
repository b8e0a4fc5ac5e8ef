#include "core/eval/store_ops.h"

#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/matrix/matrix_store_ops.h"

namespace quadrel {

size_t defineEntry(Engine& e, TextView name, TextView value, bool isFunction) {
  NameStore& store = isFunction ? e.functions : e.variables;
  TextView key = keyName(name);
  if (key.empty()) {
    setErrorCode(e, kErrInvalidArgument);
    return store.size();
  }
  return store.define(key, value);
}

const NamedEntry* findEntry(Engine& e, TextView name, bool isFunction) {
  const NamedEntry* entry = (isFunction ? e.functions : e.variables).find(keyName(name));
  setErrorCode(e, entry ? kNoError : kErrNotFound);
  return entry;
}

NameStore& storeNamed(Engine& e, TextView which) {
  return equalsIgnoreCase(which, u"vars") ? e.variables : e.functions;
}

void resetEvaluator(Engine& e) {
  e.variables.clear();
  e.functions.clear();
  clearMatrixList(e, nullptr);
  e.eval.resultType = -1;
  e.messages.showLevel = 0;
  clearErrorLog(e);
}

}  // namespace quadrel
