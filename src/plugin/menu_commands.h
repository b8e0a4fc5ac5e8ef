// The plug-in's menu commands, its options items and the tool-tip
// evaluation on mouse dwell.
#pragma once

#include <cstdint>

#include "core/text/u16.h"
#include "plugin/host_interface.h"

namespace quadrel::plugin {

void __cdecl otmE_CurFile();
void __cdecl otmE_CurLineToFile();
void __cdecl otmE_CurLineToWndMnu();
void __cdecl otmE_SelTextToWndMnu();
void __cdecl otmE_Expr();
void __cdecl otmE_ShowMem();
void __cdecl insertFileName();
void __cdecl otmE_About();

void otmE_CurLineToWnd(bool fromTip);
void otmE_SelTextToWnd(bool fromTip);

// Answers of CheckExpressionS (the numbers of the message box's buttons).
constexpr int32_t kCheckRun = 6;           // Yes, or no question asked
constexpr int32_t kCheckDeclined = 7;      // the user said No
constexpr int32_t kCheckNothingToRun = 2;  // the text was empty

// Decides whether text is a command or a bare expression and asks for
// confirmation; answer receives kCheckRun, kCheckDeclined or kCheckNothingToRun.
Text CheckExpressionS(TextView text, TextView title, int32_t* answer, bool fromTip);

void optionShowErrorMessages();
void optionShowDebugLog();
void optionDecimals();
void optionShowCommands();
void optionSupportedFunctions();
void optionResetMemory();
void optionAcknowledgments();

// Runs the debug start of the plug-in log.
void startPluginDebug();

// Tool-tip evaluation for a notification of the editing component.
void dwellNotification(const SciNotification* notification);

}  // namespace quadrel::plugin
