#include "plugin/window_proc.h"

#include <string>

#include "core/engine.h"
#include "platform/platform.h"
#include "plugin/menu_commands.h"
#include "plugin/plugin_state.h"
#include "plugin/settings.h"

namespace quadrel::plugin {

namespace {

constexpr const char16_t* kOptionTexts[kOptionsItemCount] = {
    u"Plugin Log",      u"Show Error Messages", u"Show Debug Log",      u"-",
    u"Decimals",        u"Show Commands",       u"Supported Functions", u"ReSet memory",
    u"Eval to Tooltip", u"Don't show Summary",  u"Don't confirm Expr",  u"Acknowledgments"};

LRESULT sendMain(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  return SendMessageW(pluginState().npp.scintillaMainHandle, msg, wp, lp);
}

Text handleText(const void* h) { return intText(int64_t(reinterpret_cast<uintptr_t>(h))); }

int box(TextView text, UINT buttons = MB_OK) {
  std::wstring t(text.begin(), text.end());
  return MessageBoxW(pluginState().npp.nppHandle, t.c_str(), L"Quadrel", buttons);
}

void setCheck(int offset, bool on) { checkMark(pluginState().baseCommand + offset, on ? 1 : 0); }

void togglePluginLog() {
  PluginState& s = pluginState();
  Engine& e = pluginEngine();
  if (checkMark(s.baseCommand + 1, -1) != 8) {
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
  setCheck(1, e.diag.pluginDebug == 1);
}

void toggleToolTip() {
  PluginState& s = pluginState();
  if (checkMark(s.baseCommand + 9, -1) != 8) {
    s.toolTip = 1;
    if (s.hideExprLine) {
      s.hideExprLine = false;
      s.hideExprOption = u" ";
    }
    setCheck(9, true);
    box(u"Evaluate to Tooltip enabled.");
  } else {
    s.toolTip = 0;
    setCheck(9, false);
    box(u"Evaluate to Tooltip disabled.");
  }
  writeSetting(u"Eval To ToolTip", s.toolTip);
}

void toggleHideExprLine() {
  PluginState& s = pluginState();
  if (checkMark(s.baseCommand + 10, -1) != 8) {
    if (s.toolTip) {
      s.hideExprLine = false;
      s.hideExprOption = u" ";
      setCheck(10, false);
      box(u"'Hide Expr Line' incompatible with 'Eval To ToolTip'");
    } else {
      s.hideExprLine = true;
      s.hideExprOption = u" /nln ";
      setCheck(10, true);
      box(u"Hide Expr Line Enabled");
    }
  } else {
    s.hideExprLine = false;
    s.hideExprOption = u" ";
    setCheck(10, false);
    box(u"Hide Expr Line disabled.");
  }
  writeSetting(u"Don't show Summary", s.hideExprLine ? 1 : 0);
}

void toggleNoConfirm() {
  PluginState& s = pluginState();
  if (checkMark(s.baseCommand + 11, -1) != 8) {
    s.noConfirm = true;
    setCheck(11, true);
    box(u"Expression confirmation Disabled");
  } else {
    s.noConfirm = false;
    setCheck(11, false);
    box(u"Expression confirmation Enabled");
  }
  writeSetting(u"Don't confirm Expr", s.noConfirm ? 1 : 0);
}

// Runs options item `offset`; gives the log text it leaves ("" for none).
Text runOption(int offset, int id, TextView caption) {
  Text logText = u"menu_id = " + intText(id) + u", menu_caption = " + Text(caption);
  switch (offset) {
    case 1: togglePluginLog(); return logText + u", pbDebug = " + intText(pluginEngine().diag.pluginDebug);
    case 2: optionShowErrorMessages(); return logText;
    case 3: optionShowDebugLog(); return logText;
    case 5: optionDecimals(); return logText;
    case 6: optionShowCommands(); return logText;
    case 7: optionSupportedFunctions(); return logText;
    case 8: optionResetMemory(); return Text();
    case 9: toggleToolTip(); return Text();
    case 10: toggleHideExprLine(); return Text();
    case 11: toggleNoConfirm(); return Text();
    case 12: optionAcknowledgments(); return Text();
    default: return Text();
  }
}

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

// The Plugins menu of the menu bar: captioned "Plugins" once its "&" mark is
// dropped, or (in a translated editor) the menu that holds our own submenu.
bool isPluginsMenu(HMENU bar, UINT position) {
  wchar_t caption[25] = {0};
  GetMenuStringW(bar, position, caption, 25, MF_BYPOSITION);
  return withoutAccessMarks(caption) == L"Plugins" || quadrelSubmenu(GetSubMenu(bar, int(position))) != nullptr;
}

}  // namespace

int checkMark(int commandId, int state) {
  HMENU menu = GetMenu(pluginState().npp.nppHandle);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  if (state == -1) {
    if (!GetMenuItemInfoW(menu, UINT(commandId), FALSE, &info))
      return 0;
    return (info.fState & MFS_CHECKED) ? 8 : 0;
  }
  info.fState = state > 0 ? MFS_CHECKED : 0;
  if (!SetMenuItemInfoW(menu, UINT(commandId), FALSE, &info))
    return -1;
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

void subclassHost() {
  PluginState& s = pluginState();
  if (s.oldProc)
    return;
  s.oldDwellTime = sendMain(SCI_GETMOUSEDWELLTIME);
  sendMain(SCI_SETMOUSEDWELLTIME, 1000);
  s.oldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(s.npp.nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
}

void removeMenus() {
  PluginState& s = pluginState();
  if (s.oldProc) {
    SetWindowLongPtrW(s.npp.nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.oldProc));
    sendMain(SCI_SETMOUSEDWELLTIME, WPARAM(s.oldDwellTime));
    s.oldProc = nullptr;
  }
  plog(u"RemoveMenus()", u"\r\nwpLog = \r\n");
}

void addMenus(int position) {
  PluginState& s = pluginState();
  plog(u"AddMenus()", u": START");
  plog(u"AddMenus()", u": LocalNppData\\_nppHandle = " + handleText(s.npp.nppHandle));
  HMENU bar = GetMenu(s.npp.nppHandle);
  plog(u"AddMenus()", u": hMenu = " + handleText(bar));

  // B: the largest command number of the last submenu of the menu bar, plus 100.
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
  s.baseCommand = largest + 100;
  plog(u"AddMenus()", u": hLastSubMenu = " + handleText(last) + u", B = " + intText(s.baseCommand));

  HMENU plugins = GetSubMenu(bar, position);
  HMENU ours = quadrelSubmenu(plugins);
  plog(u"AddMenus()", u": hPluginsMenu = " + handleText(plugins) + u", hQuadrelMenu = " + handleText(ours));

  s.optionsMenu = CreatePopupMenu();
  for (int k = 0; k < kOptionsItemCount; ++k) {
    std::wstring text(kOptionTexts[k], kOptionTexts[k] + std::char_traits<char16_t>::length(kOptionTexts[k]));
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    item.fType = MFT_STRING;
    item.wID = UINT(s.baseCommand + k + 1);
    item.dwTypeData = text.data();
    InsertMenuItemW(s.optionsMenu, UINT(k), TRUE, &item);
    auto setState = [&](bool on) {
      MENUITEMINFOW st{};
      st.cbSize = sizeof st;
      st.fMask = MIIM_STATE;
      st.fState = on ? MFS_CHECKED : 0;
      SetMenuItemInfoW(s.optionsMenu, UINT(k), TRUE, &st);
    };
    switch (k + 1) {
      case 1: setState(pluginEngine().diag.pluginDebug == 1); break;
      case 4: {
        MENUITEMINFOW sep{};
        sep.cbSize = sizeof sep;
        sep.fMask = MIIM_FTYPE;
        sep.fType = MFT_SEPARATOR;
        SetMenuItemInfoW(s.optionsMenu, UINT(k), TRUE, &sep);
        break;
      }
      case 9: setState(s.toolTip != 0); break;
      case 10: setState(s.hideExprLine); break;
      case 11: setState(s.noConfirm); break;
      default: break;
    }
  }
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
  plog(u"AddMenus()",
       u": FirstOption = " + Text(kOptionTexts[0]) + u", pOldProc = " + handleText(reinterpret_cast<void*>(s.oldProc)));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  PluginState& s = pluginState();
  if (hwnd != s.npp.nppHandle)
    return CallWindowProcW(s.oldProc, hwnd, message, wParam, lParam);
  try {
    // A call tip older than 9 s goes.
    if (GetTickCount64() - s.lastToolTipTick > 9000 && sendMain(SCI_CALLTIPACTIVE))
      sendMain(SCI_CALLTIPCANCEL);

    if (message == WM_MENUSELECT) {
      if (s.pluginsMenuPosition == 0 && isPluginsMenu(GetMenu(hwnd), LOWORD(wParam))) {
        s.pluginsMenuPosition = LOWORD(wParam);
        addMenus(s.pluginsMenuPosition);
      }
      return 0;
    }
    if (message == WM_NOTIFY) {
      if (s.toolTip)
        dwellNotification(reinterpret_cast<const SciNotification*>(lParam));
      return CallWindowProcW(s.oldProc, hwnd, message, wParam, lParam);
    }
    if (message == WM_COMMAND && lParam == 0 && s.baseCommand > 0) {
      const int id = LOWORD(wParam);
      const int offset = id - s.baseCommand;
      if (offset >= 1 && offset <= kOptionsItemCount && offset != 4) {
        const Text caption = menuCaption(id);
        if (caption == kOptionTexts[offset - 1]) {
          Text logText = runOption(offset, id, caption);
          if (!logText.empty()) {
            plog(u"WindowProc()", u": Params: " + logText);
            flushSettings();
          }
          return 0;
        }
      }
    }
  } catch (...) {
    // Nothing may escape into the host's message loop.
  }
  return CallWindowProcW(s.oldProc, hwnd, message, wParam, lParam);
}

}  // namespace quadrel::plugin
