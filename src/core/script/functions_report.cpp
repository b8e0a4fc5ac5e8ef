#include "core/script/functions_report.h"

#include "core/eval/builtins.h"

namespace quadrel {

Text supportedFunctionsReport(Engine&) {
  Text r = u"Supported operators and functions:\r\n";
  r.append(u"Operators: + - * / ^ \\ mod = < > <> <= >= and or xor not\r\n");
  r.append(u"Functions: ");
  r.append(builtinFunctionNames());
  r.append(u"\r\nAggregates: min max avg sum sum2 prod prod2 stddev count geom_mean median mean\r\n");
  r.append(u"Constants: pi 2pi e deg to_deg rad to_rad\r\n");
  return r;
}

}  // namespace quadrel
