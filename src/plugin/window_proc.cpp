#include "plugin/window_proc.h"

#include "plugin/menu_commands.h"
#include "plugin/options_menu.h"
#include "plugin/plugin_state.h"

namespace quadrel::plugin {

namespace {

LRESULT sendMain(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  return SendMessageW(pluginState().npp.scintillaMainHandle, msg, wp, lp);
}

}  // namespace

void subclassHost() {
  PluginState& s = pluginState();
  if (s.oldProc)
    return;
  s.oldDwellTime = sendMain(SCI_GETMOUSEDWELLTIME);
  sendMain(SCI_SETMOUSEDWELLTIME, 1000);
  s.oldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(s.npp.nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
}

void restoreHostWindow() {
  PluginState& s = pluginState();
  if (s.oldProc) {
    SetWindowLongPtrW(s.npp.nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.oldProc));
    sendMain(SCI_SETMOUSEDWELLTIME, WPARAM(s.oldDwellTime));
    s.oldProc = nullptr;
  }
  plog(u"RemoveMenus()", u"\r\nwpLog = \r\n");
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
      if (runOptionCommand(LOWORD(wParam)))
        return 0;
    }
  } catch (...) {
    // Nothing may escape into the host's message loop.
  }
  return CallWindowProcW(s.oldProc, hwnd, message, wParam, lParam);
}

}  // namespace quadrel::plugin
