#include "plugin/options_menu.h"

#include <iterator>
#include <string>

#include "core/engine.h"
#include "plugin/menu_commands.h"
#include "plugin/plugin_state.h"
#include "plugin/settings.h"

namespace quadrel::plugin {

namespace {

Text handleText(const void* h) { return intText(int64_t(reinterpret_cast<uintptr_t>(h))); }

int box(TextView text, UINT buttons = MB_OK) {
  std::wstring t(text.begin(), text.end());
  return MessageBoxW(pluginState().npp.nppHandle, t.c_str(), L"Quadrel", buttons);
}

int commandOf(OptionItem item) { return pluginState().baseCommand + int(item); }
bool isChecked(OptionItem item) { return checkMark(commandOf(item), kMarkQuery) == kMarkChecked; }
void setCheck(OptionItem item, bool on) { checkMark(commandOf(item), on ? kMarkChecked : kMarkCleared); }

void togglePluginLog() {
  Engine& e = pluginEngine();
  if (!isChecked(OptionItem::PluginLog)) {
    int answer =
        box(u"Debug for 'Quadrel' will be active the next time the Notepad++ is launched.\r\n"
            u"A file with extension .dbg will be (over)written in the \\plugins\\Quadrel folder.\r\n\r\n"
            u"Do you also want to start debug now?",
            MB_YESNOCANCEL);
    if (answer == IDCANCEL)
      return;
    if (answer == IDYES) {
      e.diag.pluginDebug = 1;
      startPluginDebug();
    } else {
      e.diag.pluginDebug = 0;
    }
    writeSetting(u"Debug", 1);
  } else {
    e.diag.pluginDebug = 0;
    box(u"Debug disabled.");
    writeSetting(u"Debug", 0);
  }
  setCheck(OptionItem::PluginLog, e.diag.pluginDebug == 1);
}

void toggleToolTip() {
  PluginState& s = pluginState();
  if (!isChecked(OptionItem::EvalToTooltip)) {
    s.toolTip = 1;
    if (s.hideExprLine) {
      s.hideExprLine = false;
      s.hideExprOption = u" ";
    }
    setCheck(OptionItem::EvalToTooltip, true);
    box(u"Evaluate to Tooltip enabled.");
  } else {
    s.toolTip = 0;
    setCheck(OptionItem::EvalToTooltip, false);
    box(u"Evaluate to Tooltip disabled.");
  }
  writeSetting(u"Eval To ToolTip", s.toolTip);
}

void toggleHideExprLine() {
  PluginState& s = pluginState();
  if (!isChecked(OptionItem::HideExprLine)) {
    if (s.toolTip) {
      s.hideExprLine = false;
      s.hideExprOption = u" ";
      setCheck(OptionItem::HideExprLine, false);
      box(u"'Hide Expr Line' incompatible with 'Eval To ToolTip'");
    } else {
      s.hideExprLine = true;
      s.hideExprOption = u" /nln ";
      setCheck(OptionItem::HideExprLine, true);
      box(u"Hide Expr Line Enabled");
    }
  } else {
    s.hideExprLine = false;
    s.hideExprOption = u" ";
    setCheck(OptionItem::HideExprLine, false);
    box(u"Hide Expr Line disabled.");
  }
  writeSetting(u"Don't show Summary", s.hideExprLine ? 1 : 0);
}

void toggleNoConfirm() {
  PluginState& s = pluginState();
  if (!isChecked(OptionItem::NoConfirm)) {
    s.noConfirm = true;
    setCheck(OptionItem::NoConfirm, true);
    box(u"Expression confirmation Disabled");
  } else {
    s.noConfirm = false;
    setCheck(OptionItem::NoConfirm, false);
    box(u"Expression confirmation Enabled");
  }
  writeSetting(u"Don't confirm Expr", s.noConfirm ? 1 : 0);
}

// One item of the options submenu.
struct OptionEntry {
  OptionItem item;
  const char16_t* text;
  void (*run)();      // null for the separator, which the host handles
  bool logged;        // leaves a log line with its number and caption
  bool (*checked)();  // the check mark when the submenu is built; null for none
};

constexpr OptionEntry kOptions[] = {
    {OptionItem::PluginLog, u"Plugin Log", togglePluginLog, true, [] { return pluginEngine().diag.pluginDebug == 1; }},
    {OptionItem::ShowErrorMessages, u"Show Error Messages", optionShowErrorMessages, true, nullptr},
    {OptionItem::ShowDebugLog, u"Show Debug Log", optionShowDebugLog, true, nullptr},
    {OptionItem::Separator, u"-", nullptr, false, nullptr},
    {OptionItem::Decimals, u"Decimals", optionDecimals, true, nullptr},
    {OptionItem::ShowCommands, u"Show Commands", optionShowCommands, true, nullptr},
    {OptionItem::SupportedFunctions, u"Supported Functions", optionSupportedFunctions, true, nullptr},
    {OptionItem::ResetMemory, u"ReSet memory", optionResetMemory, false, nullptr},
    {OptionItem::EvalToTooltip, u"Eval to Tooltip", toggleToolTip, false, [] { return pluginState().toolTip != 0; }},
    {OptionItem::HideExprLine, u"Don't show Summary", toggleHideExprLine, false,
     [] { return pluginState().hideExprLine; }},
    {OptionItem::NoConfirm, u"Don't confirm Expr", toggleNoConfirm, false, [] { return pluginState().noConfirm; }},
    {OptionItem::Acknowledgments, u"Acknowledgments", optionAcknowledgments, false, nullptr},
};

constexpr bool itemsInOrder() {
  for (int k = 0; k < kOptionsItemCount; ++k)
    if (int(kOptions[k].item) != k + 1)
      return false;
  return true;
}
static_assert(std::size(kOptions) == size_t(kOptionsItemCount) && itemsInOrder(),
              "one entry per options item, in item order");

const OptionEntry& entryOf(OptionItem item) { return kOptions[int(item) - 1]; }

// A menu caption as the user reads it: the "&" that marks the keyboard letter
// is dropped ("&&" stands for a "&").
std::wstring withoutAccessMarks(const wchar_t* caption) {
  std::wstring out;
  for (const wchar_t* p = caption; *p; ++p) {
    if (*p == L'&' && p[1])
      ++p;
    out.push_back(*p);
  }
  return out;
}

// The submenu of `menu` whose caption is exactly "Quadrel", or null.
HMENU quadrelSubmenu(HMENU menu) {
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int k = 0; k < count; ++k) {
    wchar_t caption[25] = {0};
    GetMenuStringW(menu, UINT(k), caption, 25, MF_BYPOSITION);
    if (std::wstring(caption) == L"Quadrel" && GetSubMenu(menu, k))
      return GetSubMenu(menu, k);
  }
  return nullptr;
}

// The largest command number of the last submenu of the menu bar, plus 100.
int baseCommandOf(HMENU bar) {
  HMENU last = nullptr;
  const int barCount = GetMenuItemCount(bar);
  for (int k = 0; k < barCount; ++k) {
    HMENU sub = GetSubMenu(bar, k);
    if (!sub)
      break;
    last = sub;
  }
  int largest = 0;
  if (last) {
    const int n = GetMenuItemCount(last);
    for (int k = 0; k < n; ++k) {
      int id = int(GetMenuItemID(last, k));
      if (id > largest)
        largest = id;
    }
  }
  plog(u"AddMenus()", u": hLastSubMenu = " + handleText(last) + u", B = " + intText(largest + 100));
  return largest + 100;
}

// Inserts the options item at its position of the options submenu, with its
// check mark or as the separator.
void insertOption(HMENU menu, const OptionEntry& entry) {
  const UINT position = UINT(int(entry.item) - 1);
  std::wstring text(entry.text, entry.text + std::char_traits<char16_t>::length(entry.text));
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
  item.fType = MFT_STRING;
  item.wID = UINT(commandOf(entry.item));
  item.dwTypeData = text.data();
  InsertMenuItemW(menu, position, TRUE, &item);
  MENUITEMINFOW change{};
  change.cbSize = sizeof change;
  if (entry.item == OptionItem::Separator) {
    change.fMask = MIIM_FTYPE;
    change.fType = MFT_SEPARATOR;
    SetMenuItemInfoW(menu, position, TRUE, &change);
  } else if (entry.checked) {
    change.fMask = MIIM_STATE;
    change.fState = entry.checked() ? MFS_CHECKED : 0;
    SetMenuItemInfoW(menu, position, TRUE, &change);
  }
}

}  // namespace

int checkMark(int commandId, int state) {
  HMENU menu = GetMenu(pluginState().npp.nppHandle);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  if (state == kMarkQuery) {
    if (!GetMenuItemInfoW(menu, UINT(commandId), FALSE, &info))
      return kMarkCleared;
    return (info.fState & MFS_CHECKED) ? kMarkChecked : kMarkCleared;
  }
  info.fState = state > 0 ? MFS_CHECKED : 0;
  if (!SetMenuItemInfoW(menu, UINT(commandId), FALSE, &info))
    return kMarkRefused;
  return int(info.fState);
}

Text menuCaption(int commandId) {
  HMENU menu = GetMenu(pluginState().npp.nppHandle);
  if (!menu)
    return Text();
  wchar_t buffer[257] = {0};
  int n = GetMenuStringW(menu, UINT(commandId), buffer, 257, MF_BYCOMMAND);
  return Text(buffer, buffer + (n > 0 ? n : 0));
}

bool isPluginsMenu(HMENU bar, UINT position) {
  wchar_t caption[25] = {0};
  GetMenuStringW(bar, position, caption, 25, MF_BYPOSITION);
  return withoutAccessMarks(caption) == L"Plugins" || quadrelSubmenu(GetSubMenu(bar, int(position))) != nullptr;
}

void addMenus(int position) {
  PluginState& s = pluginState();
  plog(u"AddMenus()", u": START");
  plog(u"AddMenus()", u": LocalNppData\\_nppHandle = " + handleText(s.npp.nppHandle));
  HMENU bar = GetMenu(s.npp.nppHandle);
  plog(u"AddMenus()", u": hMenu = " + handleText(bar));
  s.baseCommand = baseCommandOf(bar);

  HMENU plugins = GetSubMenu(bar, position);
  HMENU ours = quadrelSubmenu(plugins);
  plog(u"AddMenus()", u": hPluginsMenu = " + handleText(plugins) + u", hQuadrelMenu = " + handleText(ours));

  s.optionsMenu = CreatePopupMenu();
  for (const OptionEntry& entry : kOptions) insertOption(s.optionsMenu, entry);
  MENUITEMINFOW options{};
  options.cbSize = sizeof options;
  options.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
  wchar_t optionsText[] = L"Options";
  options.dwTypeData = optionsText;
  options.wID = UINT(s.baseCommand);
  options.hSubMenu = s.optionsMenu;
  BOOL inserted = ours ? InsertMenuItemW(ours, UINT(position - 1), TRUE, &options) : FALSE;
  const DWORD lastError = GetLastError();
  plog(u"AddMenus()", u": InsertMenuItem: retVal = " + intText(inserted));
  wchar_t* message = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 lastError, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  Text messageText;
  if (message) {
    for (wchar_t* p = message; *p; ++p) messageText.push_back(char16_t(*p));
    LocalFree(message);
  }
  plog(u"AddMenus()", u": LastError(" + intText(lastError) + u") " + messageText);
  plog(u"AddMenus()", u": FirstOption = " + Text(kOptions[0].text) + u", pOldProc = " +
                          handleText(reinterpret_cast<void*>(s.oldProc)));
}

bool runOptionCommand(int id) {
  const int offset = id - pluginState().baseCommand;
  if (offset < 1 || offset > kOptionsItemCount)
    return false;
  const OptionEntry& entry = entryOf(OptionItem(offset));
  if (!entry.run)
    return false;
  const Text caption = menuCaption(id);
  if (caption != entry.text)
    return false;
  entry.run();
  if (entry.logged) {
    Text logText = u"menu_id = " + intText(id) + u", menu_caption = " + caption;
    if (entry.item == OptionItem::PluginLog)
      logText += u", pbDebug = " + intText(pluginEngine().diag.pluginDebug);
    plog(u"WindowProc()", u": Params: " + logText);
    flushSettings();
  }
  return true;
}

}  // namespace quadrel::plugin
