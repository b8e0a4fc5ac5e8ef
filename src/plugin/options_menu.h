// The "Options" submenu: built the first time the user opens the Plugins
// menu, its check marks, and its items run by command number.
#pragma once

#include <windows.h>

#include "core/text/u16.h"
#include "plugin/menu_items.h"

namespace quadrel::plugin {

// checkMark's state that asks for the mark, and its answers.
constexpr int kMarkQuery = -1;
constexpr int kMarkChecked = MFS_CHECKED;  // 8
constexpr int kMarkCleared = 0;
constexpr int kMarkRefused = -1;

// Check mark of a menu item by command number: kMarkQuery asks (kMarkChecked
// or kMarkCleared); other states set it (checked when > 0) and give the new
// state, or kMarkRefused when the host refused.
int checkMark(int commandId, int state);
// Caption of the item with that command number in the host's menu.
Text menuCaption(int commandId);

// Whether the menu-bar item at position is the Plugins menu: captioned
// "Plugins" once its "&" mark is dropped, or (in a translated editor) the
// menu that holds our own submenu.
bool isPluginsMenu(HMENU bar, UINT position);
// Builds the options submenu into the plug-in's submenu of the Plugins menu
// at position of the menu bar.
void addMenus(int position);
// Runs the options item with command number id when the host's menu gives it
// that item's caption; false for any other command (the host handles it).
bool runOptionCommand(int id);

}  // namespace quadrel::plugin
