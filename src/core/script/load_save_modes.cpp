#include "core/script/load_save_modes.h"

#include "core/engine.h"
#include "core/script/script_file.h"

namespace quadrel {

int32_t loadSaveFile(Engine& e, int mode) {
  ScriptState& s = e.script;
  // A load that fails sets the status; one that succeeds leaves it as it was.
  auto load = [&](TextView path, TextView openError) {
    if (!loadTextFile(e, path, openError, s.scriptText))
      s.status = kStatusOpenError;
  };
  switch (mode) {
    case 1: load(s.settings.logFileName, u"Error 7: can't read the file\r\n"); break;
    case 2: load(commandListPath(e), u"Error 8: can't read the file\r\n"); break;
    case 4: {
      Text name = askFileName(e);
      if (name.empty())
        s.status = kStatusCancelled;
      else
        s.scriptText = std::move(name);
      break;
    }
    case 6: load(s.settings.inputFile, u"Error 4: can't read the file\r\n"); break;
    case 7:
      if (!saveOutputFile(e, s.settings.outputFile, s.scriptText, s.settings.append))
        s.status = kStatusWriteError;
      break;
    case 8: s.status = saveTextAs(e, s.scriptText) ? kStatusOk : kStatusWriteError; break;
    default: break;
  }
  return s.status;
}

}  // namespace quadrel
