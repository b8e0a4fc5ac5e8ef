// Load and unload of the plug-in, the host's plug-in interface and the
// exports for programs that load the library themselves.
#include <windows.h>

#include <iterator>
#include <mutex>
#include <string>

#include "core/engine.h"
#include "exports/export_support.h"
#include "platform/win32/win32_platform.h"
#include "plugin/document_states.h"
#include "plugin/host_windows.h"
#include "plugin/menu_commands.h"
#include "plugin/menu_items.h"
#include "plugin/plugin_state.h"
#include "plugin/settings.h"
#include "plugin/window_proc.h"

namespace quadrel::plugin {

namespace {

const Text kDashes70(70, u'-');

// A menu command as the host calls it: under the library's lock, and nothing
// escapes into the host.
template <PluginCommand command>
void __cdecl locked() {
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
    command();
  } catch (...) {
  }
}

// One row of the plug-in's menu: a separator has no name and no procedure.
struct MenuEntry {
  MenuRow row;
  const char16_t* name;
  PluginCommand procedure;
  const char16_t* shortcut;  // four characters, or "" for none (see pinSetMenuItem)
};

constexpr MenuEntry kMenu[] = {
    {MenuRow::CurFileToFile, u"Eval CurFile To File", locked<otmE_CurFile>, u""},
    {MenuRow::CurLineToFile, u"Eval CurLine To File", locked<otmE_CurLineToFile>, u""},
    {MenuRow::FileSeparator, u"", nullptr, u""},
    {MenuRow::CurLineToWnd, u"Eval CurLine To Wnd", locked<otmE_CurLineToWndMnu>, u"1002"},
    {MenuRow::SelTextToWnd, u"Eval SelText To Wnd", locked<otmE_SelTextToWndMnu>, u"1003"},
    {MenuRow::ExpressionToWnd, u"Eval Expression To Wnd", locked<otmE_Expr>, u"101~"},
    {MenuRow::EvaluationSeparator, u"", nullptr, u""},
    {MenuRow::ShowMemory, u"Show Memory", locked<otmE_ShowMem>, u"110M"},
    {MenuRow::InsertFileName, u"Insert filename", locked<insertFileName>, u"110O"},
    {MenuRow::AboutSeparator, u"", nullptr, u""},
    {MenuRow::About, u"About Quadrel", locked<otmE_About>, u""},
};

constexpr bool rowsInOrder() {
  for (int k = 0; k < kMenuItemCount; ++k)
    if (int(kMenu[k].row) != k + 1)
      return false;
  return true;
}
static_assert(std::size(kMenu) == size_t(kMenuItemCount) && rowsInOrder(), "one menu entry per row, in row order");

// The keys of the two shortcut characters that stand for another key.
constexpr unsigned char kEnterKey = VK_RETURN;  // "~"
constexpr unsigned char kCaretKey = 43;         // "^"

// Fills one menu record; a shortcut text of exactly four characters gives a
// shortcut: Ctrl, Alt, Shift ("1" held) and the key ("~" Enter, "^" 43).
void pinSetMenuItem(FuncItem& item, PluginCommand procedure, TextView name, int row, bool check, TextView shortcut) {
  ZeroMemory(&item, sizeof item);
  for (size_t k = 0; k < name.size() && k + 1 < size_t(kMenuItemNameSize); ++k) item.itemName[k] = wchar_t(name[k]);
  item.function = procedure;
  item.commandId = row;
  item.initiallyChecked = check;
  if (shortcut.size() == 4) {
    auto* key = new ShortcutKey{shortcut[0] == u'1', shortcut[1] == u'1', shortcut[2] == u'1', 0};
    const char16_t k = shortcut[3];
    key->key = k == u'~' ? kEnterKey : (k == u'^' ? kCaretKey : static_cast<unsigned char>(k));
    item.shortcut = key;
  }
  plog(u"pinSetMenuItem()", u": Len(Shortcut) = " + intText(int64_t(shortcut.size())) + u", pShKey = " +
                                intText(int64_t(reinterpret_cast<uintptr_t>(item.shortcut))));
}

// The folder of this DLL, ending with "\".
Text dllFolder() {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(libraryModule()), buffer, MAX_PATH * 4);
  Text path(buffer, buffer + (n < MAX_PATH * 4 ? n : 0));
  path.resize(path.find_last_of(u"\\/") == Text::npos ? 0 : path.find_last_of(u"\\/") + 1);
  return path;
}

// Settings, debug file and menu records: once, at the first call of the
// host (never under the loader lock of DllMain).
void attachProcess() {
  PluginState& s = pluginState();
  if (s.items)
    return;
  Engine& e = pluginEngine();
  // Settings and debug file beside the DLL; the editor's plug-in configuration
  // folder may take over once the editor is known (settleSettingsFolder).
  s.pluginFolder = dllFolder();
  s.settingsFile = s.pluginFolder + u"Quadrel.INI";
  e.diag.debugFilePath = s.pluginFolder + u"Quadrel.dbg";
  e.script.settings.settingsFile = s.settingsFile;
  loadSettings();
  plog(u"AttachProcess()", u": Attach To Process: START");
  s.items = new FuncItem[kMenuItemCount];
  for (const MenuEntry& entry : kMenu)
    pinSetMenuItem(s.items[int(entry.row) - 1], entry.procedure, entry.name, int(entry.row), false, entry.shortcut);
  plog(u"AttachProcess()", u": Attach To Process: End");
  plogRaw(u"Proc: AttachProcess(): " + kDashes70);
}

void detachProcess() {
  plog(u"DetachProcess()", u": Detaching From Process START: gpHnd = 0");
  restoreHostWindow();
  plog(u"DetachProcess()", u": Detaching From Process End: gpHnd = 0");
}

}  // namespace

}  // namespace quadrel::plugin

using namespace quadrel;
using namespace quadrel::plugin;

extern "C" {

// Under the loader lock nothing but the module handle is recorded; the
// plug-in settles at the host's first call.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH)
    DisableThreadLibraryCalls(instance);
  // Unloaded by FreeLibrary without the host's shutdown notification: the
  // main window must not keep a procedure of code that is gone.
  if (reason == DLL_PROCESS_DETACH && !reserved && pluginState().subclassed) {
    try {
      restoreHostWindow();
    } catch (...) {
    }
  }
  return TRUE;
}

// The record of an address a host passed where the record itself belongs, or
// null: in 32-bit code the first word is then a readable pointer, not a window.
static const NppData* recordBehind(HWND first) {
#if defined(_WIN64)
  (void)first;  // 64-bit code passes a record this large by address anyway
  return nullptr;
#else
  const auto* p = reinterpret_cast<const char*>(first);
  MEMORY_BASIC_INFORMATION region;
  if (!p || IsWindow(first) || VirtualQuery(p, &region, sizeof region) != sizeof region)
    return nullptr;
  const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE;
  const char* end = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
  if (region.State != MEM_COMMIT || !(region.Protect & readable) || (region.Protect & PAGE_GUARD) ||
      p + sizeof(NppData) > end)
    return nullptr;
  const auto* record = reinterpret_cast<const NppData*>(p);
  return IsWindow(record->nppHandle) ? record : nullptr;
#endif
}

__declspec(dllexport) void __cdecl setInfo(NppData data) {
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
    attachProcess();
    // The host passes the three handles by value; a host that passes the
    // record's address is understood too.
    const NppData* record = recordBehind(data.nppHandle);
    pluginState().npp = record ? *record : data;
    settleSettingsFolder();
  } catch (...) {
    // The settings stay where they were read first.
  }
}

__declspec(dllexport) const wchar_t* __cdecl getName() {
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
    pluginState().stage = HostStage::NameAsked;
  } catch (...) {
  }
  return L"Quadrel";
}

__declspec(dllexport) FuncItem* __cdecl getFuncsArray(int* count) {
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
    attachProcess();  // a host that skipped setInfo still gets its records
    if (count)
      *count = kMenuItemCount;
    return pluginState().items;
  } catch (...) {
    if (count)
      *count = 0;
    return nullptr;
  }
}

// Every notification passes the record of unsaved documents; at the host's
// shutdown the subclass goes while the main window still lives.
__declspec(dllexport) void __cdecl beNotified(SciNotification* notification) {
  if (!notification)
    return;
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
    noteEditorNotification(*notification);
    if (notification->header.code == NPPN_SHUTDOWN)
      detachProcess();
  } catch (...) {
    // Nothing may escape into the host.
  }
}

__declspec(dllexport) LRESULT __cdecl messageProc(UINT, WPARAM, LPARAM) {
  try {
    const std::lock_guard<std::recursive_mutex> hold(libraryLock());
    PluginState& s = pluginState();
    if (s.stage == HostStage::NameAsked && !s.subclassed) {
      subclassHost();
      connectHostWindows();
      s.stage = HostStage::Subclassed;
    }
  } catch (...) {
  }
  return 0;
}

__declspec(dllexport) BOOL __cdecl isUnicode() { return TRUE; }

}  // extern "C"
