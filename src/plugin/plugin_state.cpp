#include "plugin/plugin_state.h"

#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "exports/export_support.h"
#include "platform/platform.h"

namespace quadrel::plugin {

PluginState& pluginState() {
  static PluginState state;
  return state;
}

Engine& pluginEngine() { return engine(); }

void plog(TextView procedure, TextView text) { procedureLog(pluginEngine(), procedure, text); }

void plogRaw(TextView text) {
  Engine& e = pluginEngine();
  if (e.diag.pluginDebug == 1)
    e.platform.debugOutput(text);
}

}  // namespace quadrel::plugin
