#include "core/script/command_table.h"

#include <iterator>

namespace quadrel {

namespace {

constexpr CommandEntry kCatalogue[] = {
    {u"aElemOrderEx", 0, u""},
    {u"Debug", 2, u"Value Set"},
    {u"ErrorMsgs", 2, u"Value Set"},
    {u"Derivate", 1, u""},
    {u"DerivateF", 1, u""},
    {u"DimX", 2, u"Expression Loaded in Memory"},
    {u"Expr", 1, u""},
    {u"ExprF", 1, u""},
    {u"Funct", 2, u"Expression Loaded in Memory"},
    {u"FunctF", 2, u"Expression Loaded in Memory"},
    {u"Hex", 1, u""},
    {u"Bin", 1, u""},
    {u"Integrate", 1, u""},
    {u"IntegrateF", 1, u""},
    {u"Matr", 2, u"Expression Loaded in Memory"},
    {u"MatrF", 2, u"Expression Loaded in Memory"},
    {u"Plot", 3, u"Command Executed"},
    {u"Pause", 0, u""},
    {u"StoExpr", 1, u""},
    {u"Show", 3, u""},
    {u"Var", 2, u"Expression Loaded in Memory"},
    {u"VarPolyn", 2, u"Expression Loaded in Memory"},
    {u"Vect", 2, u"Expression Loaded in Memory"},
    {u"VectF", 2, u"Expression Loaded in Memory"},
    {u"sDiff", 1, u""},
    {u"sDiffF", 1, u""},
};

static_assert(std::size(kCatalogue) == kLastCommandIndex + 1);

}  // namespace

std::span<const CommandEntry> commandCatalogue() { return kCatalogue; }

int findCommand(TextView word) {
  for (size_t k = 0; k < std::size(kCatalogue); ++k)
    if (equalsIgnoreCase(word, kCatalogue[k].name))
      return int(k);
  return -1;
}

}  // namespace quadrel
