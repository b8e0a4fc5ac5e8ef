// quadrel_host.exe SCENARIO.txt [--shots FOLDER]
// Runs one scenario against plugins\Quadrel\Quadrel.dll (next to the
// program). Exit code: 0 all checks passed, 1 a check failed, 2 the scenario
// or the host could not be set up, 3 a step hung.
#include <windows.h>
// windows.h first: the common controls build on it.
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "host.h"
#include "runner.h"
#include "scenario.h"
#include "text_util.h"

int main() {
  using namespace host;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring scenarioPath, shots;
  for (int k = 1; k < argc; ++k) {
    const std::wstring a = argv[k];
    if (a == L"--shots" && k + 1 < argc)
      shots = argv[++k];
    else
      scenarioPath = a;
  }
  if (scenarioPath.empty()) {
    std::fputs("usage: quadrel_host SCENARIO.txt [--shots FOLDER]\n", stderr);
    return 2;
  }
  // Full path of the scenario before the current directory changes.
  wchar_t full[MAX_PATH * 2] = {0};
  GetFullPathNameW(scenarioPath.c_str(), MAX_PATH * 2, full, nullptr);

  Host& h = theHost();
  wchar_t exe[MAX_PATH * 2] = {0};
  GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
  h.folder = exe;
  h.folder.resize(h.folder.find_last_of(L"\\/") + 1);
  if (!shots.empty() && shots.back() != L'\\')
    shots += L'\\';
  h.shotsFolder = shots;
  // The editor runs in its own folder; the plug-in finds its settings from there.
  SetCurrentDirectoryW(h.folder.c_str());

  Scenario scenario;
  std::string error;
  if (!loadScenario(full, scenario, error)) {
    std::printf("FAIL scenario: %s\n0 passed, 1 failed\n", error.c_str());
    return 2;
  }
  captureDebugOutput();
  // Common controls 6 (the manifest asks for them), as in the editor.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  if (!createHost(GetModuleHandleW(nullptr), error)) {
    std::printf("FAIL host: %s\n0 passed, 1 failed\n", error.c_str());
    return 2;
  }
  pump();
  const int failed = runScenario(scenario);
  destroyHost();
  std::fflush(stdout);
  if (failed < 0)
    return 2;
  return failed > 0 ? 1 : 0;
}
