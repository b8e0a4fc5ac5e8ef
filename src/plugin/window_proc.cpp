#include "plugin/window_proc.h"

#include <commctrl.h>

#include <mutex>

#include "exports/export_support.h"
#include "plugin/menu_commands.h"
#include "plugin/options_menu.h"
#include "plugin/plugin_state.h"

namespace quadrel::plugin {

namespace {

LRESULT sendMain(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  return SendMessageW(pluginState().npp.scintillaMainHandle, msg, wp, lp);
}

}  // namespace

// The one subclass this plug-in puts on the host main window.
constexpr UINT_PTR kSubclassId = 0x51AD;

void subclassHost() {
  PluginState& s = pluginState();
  if (s.subclassed)
    return;
  s.oldDwellTime = sendMain(SCI_GETMOUSEDWELLTIME);
  sendMain(SCI_SETMOUSEDWELLTIME, 1000);
  // The procedure found before ours, for the log only: the subclass chain of
  // comctl32 calls it, and a subclasser after us keeps its place.
  s.oldProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(s.npp.nppHandle, GWLP_WNDPROC));
  s.subclassed = SetWindowSubclass(s.npp.nppHandle, &WindowProc, kSubclassId, 0) != FALSE;
}

void restoreHostWindow() {
  PluginState& s = pluginState();
  if (s.subclassed) {
    RemoveWindowSubclass(s.npp.nppHandle, &WindowProc, kSubclassId);
    sendMain(SCI_SETMOUSEDWELLTIME, WPARAM(s.oldDwellTime));
    s.subclassed = false;
    s.oldProc = nullptr;
  }
  plog(u"RemoveMenus()", u"\r\nwpLog = \r\n");
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  PluginState& s = pluginState();
  if (hwnd != s.npp.nppHandle)
    return DefSubclassProc(hwnd, message, wParam, lParam);
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
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
      return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (message == WM_COMMAND && lParam == 0 && s.baseCommand > 0) {
      if (runOptionCommand(LOWORD(wParam)))
        return 0;
    }
  } catch (...) {
    // Nothing may escape into the host's message loop.
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace quadrel::plugin
