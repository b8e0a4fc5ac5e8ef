#include "plugin/settings.h"

#include <string>

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "core/script/reports.h"
#include "core/text/number_text.h"
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
    e.diag.pluginDebug = 1;
    debugStart(e, informationBlock(e, false, true));
  } else {
    e.diag.pluginDebug = 0;
  }
  s.toolTip = readOnOff(u"Eval To ToolTip") ? 1 : 0;
  e.decimals = readDecimals();
  const bool hide = readOnOff(u"Don't show Summary");
  s.hideExprLine = s.summary = hide;
  s.hideExprOption = hide ? u" /nln " : u" ";
  s.summaryOption = hide ? u" /nt " : u" ";
  s.noConfirm = readOnOff(u"Don't confirm Expr");
}

}  // namespace quadrel::plugin
