#include "plugin/document_states.h"

#include <map>
#include <vector>

#include "plugin/editor_access.h"
#include "plugin/plugin_state.h"

namespace quadrel::plugin {

namespace {

// Keyed by the lower-case path: the editor matches paths without case.
std::map<Text, EditState>& states() {
  static std::map<Text, EditState> table;
  return table;
}

Text pathOfBuffer(uintptr_t buffer) {
  HWND npp = pluginState().npp.nppHandle;
  const LRESULT n = SendMessageW(npp, NPPM_GETFULLPATHFROMBUFFERID, WPARAM(buffer), 0);
  if (n <= 0)
    return Text();
  std::vector<wchar_t> wide(size_t(n) + 1, L'\0');
  SendMessageW(npp, NPPM_GETFULLPATHFROMBUFFERID, WPARAM(buffer), reinterpret_cast<LPARAM>(wide.data()));
  Text path;
  for (const wchar_t* p = wide.data(); *p; ++p) path.push_back(char16_t(*p));
  return path;
}

// The document being reloaded at the plug-in's request, "" when none.
Text& reloading() {
  static Text path;
  return path;
}

void record(TextView path, EditState state) {
  if (!path.empty())
    states()[toLower(path)] = state;
}

// A save point left or reached in the view showing the current document.
// From another view (the second view, or the editor's hidden one) the
// document is known only during a reload the plug-in asked for; otherwise
// what was known to be saved may no longer be, so such entries fall back to
// unknown.
void savePointChanged(HWND from, bool saved) {
  if (from != getEdit()) {
    if (!reloading().empty()) {
      record(reloading(), saved ? EditState::Saved : EditState::Unsaved);
      return;
    }
    for (auto& entry : states())
      if (entry.second == EditState::Saved)
        entry.second = EditState::Unknown;
    return;
  }
  record(getFileName(), saved ? EditState::Saved : EditState::Unsaved);
}

}  // namespace

void noteEditorNotification(const SciNotification& n) {
  switch (n.header.code) {
    case SCN_SAVEPOINTREACHED: savePointChanged(n.header.hwndFrom, true); break;
    case SCN_SAVEPOINTLEFT: savePointChanged(n.header.hwndFrom, false); break;
    case NPPN_BUFFERACTIVATED: {
      // The activated document is shown in the current view now.
      HWND view = getEdit();
      record(pathOfBuffer(n.header.idFrom),
             SendMessageW(view, SCI_GETMODIFY, 0, 0) ? EditState::Unsaved : EditState::Saved);
      break;
    }
    case NPPN_FILESAVED: record(pathOfBuffer(n.header.idFrom), EditState::Saved); break;
    case NPPN_FILEBEFORECLOSE: states().erase(toLower(pathOfBuffer(n.header.idFrom))); break;
    default: break;
  }
}

ReloadInProgress::ReloadInProgress(TextView path) { reloading() = Text(path); }

ReloadInProgress::~ReloadInProgress() { reloading().clear(); }

EditState editStateOf(TextView path) {
  const auto it = states().find(toLower(path));
  return it == states().end() ? EditState::Unknown : it->second;
}

}  // namespace quadrel::plugin
