#include "core/ground/failure.h"

#include "core/engine.h"
#include "core/ground/error_report.h"

namespace quadrel {

void fail(Engine& e, const Failure& f, Pending pending) {
  if (pending == Pending::Stands && e.errors.code != kNoError)
    return;
  setErrorCode(e, f.code);
  e.errors.matrixLibrary = f.module == FailureModule::MatrixLibrary;
  if (f.reported)
    addReport(e, f.procedure, f.line, f.extra);
}

Failure matrixLibraryFailure(MatrixCode code, TextView procedure, int32_t line, TextView extra) {
  return Failure{int32_t(code), procedure, line, extra, FailureModule::MatrixLibrary};
}

}  // namespace quadrel
