#include "core/ground/error_table.h"

#include <array>

namespace quadrel {

namespace {

struct Entry {
  int index;
  const char16_t* text;
};

// Texts are exact, runs of blanks included.
constexpr Entry kEntries[] = {
    {0, u"No Error                       (Module: aMatr)"},
    {1, u"Undefined error (exit before completion) (Module: aMatr)"},
    {5, u"Orders not equal               (Module: aMatr)"},
    {6, u"Orders not valid               (Module: aMatr)"},
    {7, u"Matrix not squared             (Module: aMatr)"},
    {8, u"Matrix singolar                (Module: aMatr)"},
    {9, u"Invalid Parameter              (Module: aMatr)"},
    {10, u"Vector expected not Matrix     (Module: aMatr)"},
    {11, u"Wrong Matrix rank              (Module: aMatr)"},
    {12, u"Wrong vector of points         (Module: aMatr)"},
    {13, u"Rank of matrix of coeff. > n-2 (Module: aMatr)"},
    {14, u"System without Solutions      (Module: aMatr)"},
    {15, u"Wrong SWAP Row or Col         (Module: aMatr)"},
    {16, u"Matrix not defined            (Module: aMatr)"},
    {17, u"Matrix is Zero                (Module: aMatr)"},
    {18, u"Invalid aElemOrder            (Module: aMatr)"},
    {29, u"No Error                     (Module: aMatr)"},
    {30, u"Undefined error (exit before completion) (Module: eval)"},
    {31, u"Ambiguous function name      (Module: eval)"},
    {32, u"Evaluator syntax error       (Module: eval)"},
    {33, u"Parser syntax error          (Module: eval)"},
    {34, u"Undefined function           (Module: eval)"},
    {35, u"Returned Value not defined   (Module: eval)"},
    {36, u"Token match / syntax error   (Module: eval)"},
    {37, u"Parameter/Element Not Found  (Module: eval)"},
    {38, u"Division by zero             (Module: eval & sDiff)"},
    {39, u"Expression/value not integer (Module: eval)"},
    {40, u"Condition/Matrix not found   (Module: eval)"},
    {41, u"Wrong string matrix          (Module: eval)"},
    {42, u"No enought matrix elements   (Module: eval)"},
    {43, u"Invalid parameter/argument   (Module: eval)"},
    {44, u"Matrix not defined/found     (Module: eval)"},
    {46, u"Undefined Custom Variable    (Module: eval)"},
    {47, u"Undefined Custom Function    (Module: eval)"},
    {48, u"Undefined Constant           (Module: eval)"},
    {55, u"Undefined Command/Keyword    (Module: eval)"},
    {59, u"No Error                     (Module: sDiff)"},
    {60, u"Undefined error (procedure exit before completion)  (Module: sDiff)"},
    {61, u"Too Long Formula             (Module: sDiff)"},
    {62, u"Wrong Number                 (Module: sDiff)"},
    {63, u"Wrong First Operand          (Module: sDiff)"},
    {64, u"Wrong Brackets               (Module: sDiff)"},
    {65, u"Wrong Power Nr (x^?)         (Module: sDiff)"},
    {66, u"Error in formula             (Module: sDiff)"},
    {67, u"Empty Formula                (Module: sDiff)"},
};

constexpr std::array<const char16_t*, kMessageTableSize> buildTable() {
  std::array<const char16_t*, kMessageTableSize> t{};
  for (auto& p : t) p = u"";
  for (const Entry& e : kEntries) t[size_t(e.index)] = e.text;
  return t;
}

constexpr auto kTable = buildTable();

}  // namespace

TextView messageEntry(int entry) {
  if (entry < 0 || entry >= kMessageTableSize)
    return TextView();
  return kTable[size_t(entry)];
}

TextView describeCode(int32_t code) {
  int64_t entry = int64_t(code) + kEvalBase;
  if (entry < 0 || entry > 200)
    entry = kErrUndefinedCommand + kEvalBase;
  return messageEntry(int(entry));
}

TextView statusText(int32_t status) {
  switch (status) {
    case kStatusOpenError: return u"File Open Error (not found?)";
    case kStatusWriteError: return u"File Write Error (already in use?)";
    case kStatusCancelled: return u"Operation vancelled by user";
    case kStatusInvalidParameter: return u"Invalid Parameter.";
    case -6: return u"Instance Quit OK";
    case -7: return u"API Error";
    case -8: return u"Window not Found";
    case -9: return u"Child Window Not Found";
    default: return TextView();
  }
}

}  // namespace quadrel
