#include "plugin/settings.h"

#include <windows.h>

#include <cwchar>
#include <string>

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/script/reports.h"
#include "core/text/number_text.h"
#include "plugin/host_interface.h"
#include "plugin/plugin_state.h"

namespace quadrel::plugin {

namespace {

std::wstring wide(TextView t) { return std::wstring(t.begin(), t.end()); }

constexpr wchar_t kSection[] = L"Quadrel";

// Reads a key into a buffer of the given size; the text the profile reported.
Text readKey(TextView key, TextView fallback, DWORD size) {
  std::wstring buffer(size, L'\0');
  std::wstring k = wide(key), d = wide(fallback), file = wide(pluginState().settingsFile);
  DWORD n = GetPrivateProfileStringW(kSection, k.c_str(), d.c_str(), buffer.data(), size, file.c_str());
  return Text(buffer.begin(), buffer.begin() + n);
}

}  // namespace

bool readOnOff(TextView key) { return leadingInteger(readKey(key, u"", 10)) > 0; }

int32_t readDecimals() {
  Text t = readKey(u"Decimals", u"4", 10);
  if (t.empty())
    return 4;
  return int32_t(leadingInteger(t));
}

void writeSetting(TextView key, int64_t value) {
  std::wstring k = wide(key), v = wide(intText(value)), file = wide(pluginState().settingsFile);
  WritePrivateProfileStringW(kSection, k.c_str(), v.c_str(), file.c_str());
}

void flushSettings() {
  std::wstring file = wide(pluginState().settingsFile);
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
}

void loadSettings() {
  PluginState& s = pluginState();
  Engine& e = pluginEngine();
  if (readOnOff(u"Debug")) {
    // Read a second time from another folder: the debug file is started once.
    if (e.diag.pluginDebug != 1) {
      e.diag.pluginDebug = 1;
      debugStart(e, informationBlock(e, false, true));
    }
  } else {
    e.diag.pluginDebug = 0;
  }
  s.toolTip = readOnOff(u"Eval To ToolTip") ? 1 : 0;
  e.script.decimals = readDecimals();
  const bool hide = readOnOff(u"Don't show Summary");
  s.hideExprLine = s.summary = hide;
  s.hideExprOption = hide ? u" /nln " : u" ";
  s.summaryOption = hide ? u" /nt " : u" ";
  s.noConfirm = readOnOff(u"Don't confirm Expr");
}

namespace {

bool fileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a file can be created in the folder and the settings file there
// (if any) written: a folder under Program Files cannot, for a normal user.
bool canWriteSettingsIn(const std::wstring& folder, const std::wstring& settings) {
  const DWORD attributes = GetFileAttributesW(settings.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return false;
  const std::wstring probe = folder + L"Quadrel-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  CloseHandle(h);
  return true;
}

// The editor's plug-in configuration folder ("" when the editor has none):
// asked first without a buffer for its length.
std::wstring pluginsConfigFolder() {
  HWND npp = pluginState().npp.nppHandle;
  if (!npp)
    return std::wstring();
  const LRESULT length = SendMessageW(npp, NPPM_GETPLUGINSCONFIGDIR, 0, 0);
  if (length <= 0 || length > 32767)
    return std::wstring();
  std::wstring folder(size_t(length) + 1, L'\0');
  if (!SendMessageW(npp, NPPM_GETPLUGINSCONFIGDIR, WPARAM(length + 1), reinterpret_cast<LPARAM>(folder.data())))
    return std::wstring();
  folder.resize(wcsnlen(folder.c_str(), folder.size()));
  if (!folder.empty() && folder.back() != L'\\')
    folder.push_back(L'\\');
  return folder;
}

}  // namespace

void settleSettingsFolder() {
  PluginState& s = pluginState();
  Engine& e = pluginEngine();
  const std::wstring besideDll = wide(s.pluginFolder) + L"Quadrel.INI";
  if (fileExists(besideDll) && canWriteSettingsIn(wide(s.pluginFolder), besideDll))
    return;
  const std::wstring config = pluginsConfigFolder();
  if (config.empty())
    return;
  CreateDirectoryW(config.c_str(), nullptr);  // the editor makes it at its first start; a new install may lack it
  const std::wstring inConfig = config + L"Quadrel.INI";
  const bool found = fileExists(inConfig);
  // Settings installed beside a DLL in a folder that cannot be written are
  // carried over once, so that what the user changes later is kept.
  if (!found && fileExists(besideDll))
    CopyFileW(besideDll.c_str(), inConfig.c_str(), TRUE);
  s.settingsFile = Text(inConfig.begin(), inConfig.end());
  e.script.settings.settingsFile = s.settingsFile;
  e.diag.debugFilePath = Text(config.begin(), config.end()) + u"Quadrel.dbg";
  if (found)
    loadSettings();
  plog(u"settleSettingsFolder()", u": SettingsFile = " + s.settingsFile);
}

}  // namespace quadrel::plugin
