#include "core/script/functions_report.h"

#include "core/diff/differentiate.h"

namespace quadrel {

Text supportedFunctionsReport(Engine& e) { return diffOperatorsAndFunctions(e) + u"\r\n"; }

}  // namespace quadrel
