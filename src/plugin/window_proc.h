// The replacement window procedure of the host's main window: it builds the
// options submenu, runs its items and passes the tool-tip notifications on.
#pragma once

#include <windows.h>

namespace quadrel::plugin {

// Puts WindowProc in front of the host main window's procedure and sets the
// main view's dwell time to 1000 ms.
void subclassHost();
// Gives back the window procedure and the dwell time.
void restoreHostWindow();
LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quadrel::plugin
