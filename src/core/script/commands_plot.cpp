// The Plot command: one plot window per line, optionally saved as a picture.
#include "core/engine.h"
#include "core/plot/plot_command.h"
#include "core/script/command_context.h"
#include "core/script/commands.h"
#include "core/script/quiet_messages.h"
#include "platform/platform.h"

namespace quadrel {

void commandPlot(CommandContext& c) {
  // Plot(xmin; variable; xmax; n[; points file]) = formula
  const int32_t slot = ++c.e.script.plotWindowCount;
  int32_t code;
  {
    QuietMessages quiet(c.e);
    code = runPlot(c.e, slot, parsePlotRequest(c.params, c.args));
  }

  Text r;
  if (code > 0) {
    r = c.failure(code);
    // A plot without a curve gets no picture number.
    if (c.options.savePlots)
      closePlotWindow(c.e, slot);
  } else if (c.options.savePlots) {
    savePlotPicture(c.e, slot, c.e.script.settings.savePlotPath, r);
  } else {
    // Where no window shows the plot, say how to get a picture of it.
    r = Text(c.e.platform.productNames().unsavedPlot);
  }
  c.header(u"Plot = " + Text(c.line) + u":", false);
  c.resultLine(u" FileName => ", r);
}

}  // namespace quadrel
