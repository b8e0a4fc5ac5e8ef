// The replacement window procedure of the host's main window, the options
// submenu and the settings toggles.
#pragma once

#include <windows.h>

#include "core/text/u16.h"

namespace quadrel::plugin {

// Puts WindowProc in front of the host main window's procedure and sets the
// main view's dwell time to 1000 ms.
void subclassHost();
// Gives back the window procedure and the dwell time.
void removeMenus();
LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void addMenus(int position);

// Check mark of a menu item by command number: state -1 asks (8 checked,
// 0 not); other states set it (8 when > 0, else 0) and give the new state, or
// -1 when the host refused.
int checkMark(int commandId, int state);
// Caption of the item with that command number in the host's menu.
Text menuCaption(int commandId);

}  // namespace quadrel::plugin
