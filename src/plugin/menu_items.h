// The plug-in's menu rows and the items of its options submenu, numbered in
// one place: the menu records, the options submenu, its check marks and the
// window procedure's dispatch all take their numbers from here.
#pragma once

namespace quadrel::plugin {

// Rows of the plug-in's menu, in order; a row is also the item's command number.
enum class MenuRow : int {
  CurFileToFile = 1,
  CurLineToFile,
  FileSeparator,
  CurLineToWnd,
  SelTextToWnd,
  ExpressionToWnd,
  EvaluationSeparator,
  ShowMemory,
  InsertFileName,
  AboutSeparator,
  About,
};
constexpr int kMenuItemCount = int(MenuRow::About);

// Items of the options submenu, in order; item k has the command number B + k
// (B: the base command number found when the submenu is built).
enum class OptionItem : int {
  PluginLog = 1,
  ShowErrorMessages,
  ShowDebugLog,
  Separator,
  Decimals,
  ShowCommands,
  SupportedFunctions,
  ResetMemory,
  EvalToTooltip,
  HideExprLine,  // captioned "Don't show Summary"
  NoConfirm,
  Acknowledgments,
};
constexpr int kOptionsItemCount = int(OptionItem::Acknowledgments);

}  // namespace quadrel::plugin
