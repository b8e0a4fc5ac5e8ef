// Command names (lower case) to their handlers. A new command is one more row.
#include <iterator>

#include "core/script/command_context.h"
#include "core/script/commands.h"

namespace quadrel {

namespace {

struct Row {
  const char16_t* name;
  CommandHandler handler;
};

constexpr Row kHandlers[] = {
    {u"expr", commandExpr},
    {u"hex", commandHex},
    {u"bin", commandBin},
    {u"exprf", commandExprF},
    {u"stoexpr", commandStoExpr},
    {u"var", commandVar},
    {u"funct", commandFunct},
    {u"functf", commandFunctF},
    {u"varpolyn", commandVarPolyn},
    {u"show", commandShow},
    {u"debug", commandDebug},
    {u"errormsgs", commandErrorMsgs},
    {u"aelemorderset", commandElemOrderSet},
    {u"aelemorderex", commandElemOrderEx},
    {u"aabout", commandAbout},
    {u"pause", commandPause},
    {u"sdiff", commandSDiff},
    {u"sdifff", commandSDiffF},
    {u"plot", commandPlot},
    {u"matr", commandMatr},
    {u"vect", commandMatr},
    {u"matrf", commandMatrF},
    {u"vectf", commandMatrF},
    {u"dimx", commandDimX},
    {u"integrate", commandIntegrate},
    {u"integratef", commandIntegrateF},
    {u"derivate", commandDerivate},
    {u"derivatef", commandDerivateF},
    {u"solvepolyn", commandSolvePolyn},
};

}  // namespace

CommandHandler findHandler(TextView name) {
  for (const Row& row : kHandlers)
    if (name == row.name)
      return row.handler;
  return nullptr;
}

}  // namespace quadrel
