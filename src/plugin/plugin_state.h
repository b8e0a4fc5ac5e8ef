// The plug-in's process-wide state: host handles, settings, menu records,
// subclassing and the editor values last read.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/text/u16.h"
#include "plugin/host_interface.h"

namespace quadrel {
struct Engine;
}

namespace quadrel::plugin {

// How far the host has come in taking the plug-in on.
enum class HostStage : int { Loaded = 0, NameAsked = 1, Subclassed = 2 };

struct PluginState {
  NppData npp{};
  Text pluginFolder;          // the DLL's folder, ending with "\"
  Text settingsFile;          // Quadrel.INI beside the DLL or in the editor's plug-in configuration folder
  int32_t toolTip = 0;        // "Eval To ToolTip"
  bool noConfirm = false;     // "Don't confirm Expr"
  bool hideExprLine = false;  // "Don't show Summary", the /nln option
  Text hideExprOption = u" ";
  bool summary = false;  // set at load from the same key, the /nt option
  Text summaryOption = u" ";
  WNDPROC oldProc = nullptr;  // the main window's procedure when subclassed (for the log)
  bool subclassed = false;    // WindowProc is in the main window's subclass chain
  LRESULT oldDwellTime = 0;
  int pluginsMenuPosition = 0;
  HMENU optionsMenu = nullptr;
  int baseCommand = 0;  // B: the options item k has the command number B + k
  uint64_t lastToolTipTick = 0;
  HostStage stage = HostStage::Loaded;
  FuncItem* items = nullptr;  // allocated once at load, never freed
  // Editor values last read.
  HWND currentEditView = nullptr;
  Text currentSelection;
  int32_t currentSelectionSize = 0;
  Text currentFileName;
  // Menu command state.
  int catalogueIndex = 0;
  Text toolTipExpression;
};

PluginState& pluginState();
Engine& pluginEngine();

// Procedure log line of the plug-in (written while the plug-in log is on).
void plog(TextView procedure, TextView text);
// A raw log line, as given.
void plogRaw(TextView text);

}  // namespace quadrel::plugin
