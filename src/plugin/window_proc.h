// The replacement window procedure of the host's main window: it builds the
// options submenu, runs its items and passes the tool-tip notifications on.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

namespace quadrel::plugin {

// Subclasses the host main window with WindowProc (SetWindowSubclass, so a
// later subclasser's procedure is never cut off) and sets the main view's
// dwell time to 1000 ms.
void subclassHost();
// Removes the subclass and gives back the dwell time (at the host's
// shutdown notification, or at unload when it did not come).
void restoreHostWindow();
LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

}  // namespace quadrel::plugin
