// Which open documents hold edits not saved, learnt from the editor's
// notifications. The editor has no message that tells it of a document in a
// background tab, so the plug-in keeps its own record while it runs.
#pragma once

#include "core/text/u16.h"
#include "plugin/host_interface.h"

namespace quadrel::plugin {

enum class EditState {
  Unknown,  // not seen since the plug-in loaded (restored sessions may hold unsaved text)
  Saved,    // same as the file on disk
  Unsaved,  // edits the file does not have
};

// Every notification the editor hands the plug-in passes through here.
void noteEditorNotification(const SciNotification& n);

// What the record says of the document at path (compared without case).
EditState editStateOf(TextView path);

// While it lives, the editor is reloading the document at path at the
// plug-in's request: save points of views other than the current one (the
// editor reads files through a hidden view) are that document's.
class ReloadInProgress {
 public:
  explicit ReloadInProgress(TextView path);
  ~ReloadInProgress();
  ReloadInProgress(const ReloadInProgress&) = delete;
  ReloadInProgress& operator=(const ReloadInProgress&) = delete;
};

}  // namespace quadrel::plugin
