// State of the diagnostics: the plug-in's log switch and the texts the
// version and about exports hand out.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct DiagState {
  int32_t pluginDebug = 0;  // pbDebug: procedure log lines go to the debug output
  Text debugFilePath;       // <current dir>plugins\Quadrel\Quadrel.dbg
  Text aboutText;           // last text built by aAbout
};

}  // namespace quadrel
