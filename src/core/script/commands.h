// The command handlers of the executor, one per command name.
#pragma once

namespace quadrel {

struct CommandContext;

void commandExpr(CommandContext& c);
void commandHex(CommandContext& c);
void commandBin(CommandContext& c);
void commandExprF(CommandContext& c);
void commandStoExpr(CommandContext& c);
void commandVar(CommandContext& c);
void commandFunct(CommandContext& c);
void commandFunctF(CommandContext& c);
void commandVarPolyn(CommandContext& c);
void commandShow(CommandContext& c);
void commandDebug(CommandContext& c);
void commandErrorMsgs(CommandContext& c);
void commandElemOrderSet(CommandContext& c);
void commandElemOrderEx(CommandContext& c);
void commandAbout(CommandContext& c);
void commandPause(CommandContext& c);
void commandSDiff(CommandContext& c);
void commandSDiffF(CommandContext& c);
void commandPlot(CommandContext& c);
void commandMatr(CommandContext& c);
void commandMatrF(CommandContext& c);
void commandDimX(CommandContext& c);
void commandIntegrate(CommandContext& c);
void commandIntegrateF(CommandContext& c);
void commandDerivate(CommandContext& c);
void commandDerivateF(CommandContext& c);
void commandSolvePolyn(CommandContext& c);

}  // namespace quadrel
