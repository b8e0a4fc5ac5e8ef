// The library's own windows (plots, the messages window) as the editor's
// modeless windows: owned by its main window and registered with it.
#pragma once

namespace quadrel::plugin {

// Hands the editor's main window to the platform's windows; called once the
// editor's handles are known.
void connectHostWindows();

}  // namespace quadrel::plugin
