#include "core/script/command_table.h"

#include <iterator>
#include <string_view>

#include "core/script/commands.h"

namespace quadrel {

namespace {

using enum CommandKind;

constexpr char16_t kLoaded[] = u"Expression Loaded in Memory";

// A new command is one row here and one handler in commands.h.
constexpr CommandEntry kCommands[] = {
    // The catalogue, in the editor's order.
    {u"aElemOrderEx", commandElemOrderEx, Other, u""},
    {u"Debug", commandDebug, Load, u"Value Set"},
    {u"ErrorMsgs", commandErrorMsgs, Load, u"Value Set"},
    {u"Derivate", commandDerivate, Evaluate, u""},
    {u"DerivateF", commandDerivateF, Evaluate, u""},
    {u"DimX", commandDimX, Load, kLoaded},
    {u"Expr", commandExpr, Evaluate, u""},
    {u"ExprF", commandExprF, Evaluate, u""},
    {u"Funct", commandFunct, Load, kLoaded},
    {u"FunctF", commandFunctF, Load, kLoaded},
    {u"Hex", commandHex, Evaluate, u""},
    {u"Bin", commandBin, Evaluate, u""},
    {u"Integrate", commandIntegrate, Evaluate, u""},
    {u"IntegrateF", commandIntegrateF, Evaluate, u""},
    {u"Matr", commandMatr, Load, kLoaded},
    {u"MatrF", commandMatrF, Load, kLoaded},
    {u"Plot", commandPlot, Execute, u"Command Executed"},
    {u"Pause", commandPause, Other, u""},
    {u"StoExpr", commandStoExpr, Evaluate, u""},
    {u"Show", commandShow, Execute, u""},
    {u"Var", commandVar, Load, kLoaded},
    {u"VarPolyn", commandVarPolyn, Load, kLoaded},
    {u"Vect", commandMatr, Load, kLoaded},
    {u"VectF", commandMatrF, Load, kLoaded},
    {u"sDiff", commandSDiff, Evaluate, u""},
    {u"sDiffF", commandSDiffF, Evaluate, u""},
    // Script commands the editor does not offer.
    {u"aElemOrderSet", commandElemOrderSet, Other, u""},
    {u"aAbout", commandAbout, Other, u""},
    {u"solvepolyn", commandSolvePolyn, Evaluate, u""},
};

constexpr std::span<const CommandEntry> kCatalogue(kCommands, kLastCommandIndex + 1);

static_assert(std::u16string_view(kCommands[kExprCommandIndex].name) == u"Expr");
static_assert(std::u16string_view(kCommands[kLastCommandIndex].name) == u"sDiffF");

}  // namespace

std::span<const CommandEntry> commandCatalogue() { return kCatalogue; }
std::span<const CommandEntry> commandTable() { return kCommands; }

int findCommand(TextView word) {
  for (size_t k = 0; k < kCatalogue.size(); ++k)
    if (equalsIgnoreCase(word, kCatalogue[k].name))
      return int(k);
  return -1;
}

CommandHandler findHandler(TextView name) {
  for (const CommandEntry& row : kCommands)
    if (equalsIgnoreCase(name, row.name))
      return row.handler;
  return nullptr;
}

}  // namespace quadrel
