#include "plugin/host_windows.h"

#include "core/engine.h"
#include "platform/win32/win32_platform.h"
#include "plugin/host_interface.h"
#include "plugin/plugin_state.h"

namespace quadrel::plugin {

void connectHostWindows() {
  auto* platform = dynamic_cast<Win32Platform*>(&pluginEngine().platform);
  HWND editor = pluginState().npp.nppHandle;
  if (!platform || !editor)
    return;
  platform->host.owner = editor;
  // The editor's message loop gives a registered window its own keys and
  // dialog navigation; an unregistered one has Alt+F4 close the editor.
  platform->host.announce = [editor](void* window, bool opened) {
    SendMessageW(editor, NPPM_MODELESSDIALOG, opened ? kModelessDialogAdd : kModelessDialogRemove,
                 reinterpret_cast<LPARAM>(window));
  };
}

}  // namespace quadrel::plugin
