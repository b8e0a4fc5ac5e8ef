#include "core/plot/plot_command.h"

#include <cmath>

#include "core/engine.h"
#include "core/eval/error_table.h"
#include "core/plot/plot_files.h"
#include "core/plot/plot_layout.h"
#include "core/plot/sampling.h"
#include "core/text/number_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

int32_t nearestCount(double v) {
  const double r = std::nearbyint(v);
  if (!(r > -2147483648.0 && r < 2147483647.0))
    return 0;
  return int32_t(r);
}

PlotSlot& slotOf(Engine& e, int32_t slot) {
  if (e.plot.slots.size() <= size_t(slot))
    e.plot.slots.resize(size_t(slot) + 1);
  return e.plot.slots[size_t(slot)];
}

// Opens the slot's window next to the one of the plot before it.
void openWindow(Engine& e, int32_t slot) {
  PlotSlot& s = slotOf(e, slot);
  s.window.reset();
  PlotWindow* previous = slot > 1 ? e.plot.slots[size_t(slot - 1)].window.get() : nullptr;
  s.window = e.platform.openPlotWindow(slot, u"aPlot #" + intText(slot), previous);
  if (s.window)
    s.window->onRedraw = [&e, slot](double from, double to) { redrawPlot(e, slot, from, to); };
}

void draw(Engine& e, PlotSlot& s) {
  if (!s.window)
    return;
  const TextSize inner = s.window->innerSize();
  DrawingSurface& surface =
      s.window->beginImage(std::max(inner.width, 1), std::max(inner.height - kButtonStripHeight, 1));
  const PlotState& p = e.plot;
  const PlotLayout layout = layoutPlot(s.bounds, s.validSamples > 0, s.formula, p.xs.data(), p.ys.data(), p.xs.size(),
                                       inner.width, inner.height, [&](TextView t) { return surface.textSize(t); });
  drawPlot(layout, surface);
  const double from = p.xs.empty() ? s.xMin : p.xs.front();
  const double to = p.xs.empty() ? s.xMax : p.xs.back();
  s.window->showImage(trimNumberText(fixedText(from)), trimNumberText(fixedText(to)));
}

// Samples the slot's formula into the shared sample arrays.
int32_t sample(Engine& e, PlotSlot& s) {
  const SampleResult r = sampleFormula(e, s.formula, s.variable, s.xMin, s.xMax, s.intervals, e.plot.xs, e.plot.ys);
  s.bounds = r.bounds;
  s.validSamples = r.valid;
  return r.code;
}

}  // namespace

PlotRequest parsePlotRequest(TextView params, TextView formula) {
  PlotRequest r;
  r.formula = Text(trimWhite(formula));
  Text fields = Text(trimWhite(params)) + u";";
  TextView rest = fields;
  TextView f[5];
  for (TextView& field : f) {
    const size_t semi = rest.find(u';');
    if (semi == TextView::npos)
      break;
    field = rest.substr(0, semi);
    rest.remove_prefix(semi + 1);
  }
  r.xMin = leadingNumber(f[0]);
  r.variable = toLower(trimWhite(f[1]));
  r.xMax = leadingNumber(f[2]);
  r.intervals = nearestCount(leadingNumber(f[3]));
  r.pointsFile = Text(trimWhite(f[4]));
  return r;
}

int32_t runPlot(Engine& e, int32_t slot, const PlotRequest& request) {
  PlotSlot& s = slotOf(e, slot);
  s.formula = request.formula;
  s.xMin = request.xMin;
  s.variable = request.variable;
  s.xMax = request.xMax;
  s.intervals = request.intervals;
  const int32_t code = sample(e, s);
  if (code == kErrInvalidArgument && e.plot.xs.empty())
    return code;
  if (!request.pointsFile.empty())
    writePointsFile(e, request.pointsFile);
  openWindow(e, slot);
  draw(e, slotOf(e, slot));
  return code;
}

int32_t redrawPlot(Engine& e, int32_t slot, double from, double to) {
  // The samples and windows belong to the run in progress until it ends.
  if (e.script.runInProgress)
    return kStatusRunRefused;
  if (slot < 1 || size_t(slot) >= e.plot.slots.size())
    return kErrInvalidArgument;
  const RunScope running(e.script);
  PlotSlot& s = e.plot.slots[size_t(slot)];
  const double keptMin = s.xMin, keptMax = s.xMax;
  s.xMin = from;
  s.xMax = to;
  const int32_t code = sample(e, s);
  if (e.plot.xs.empty()) {
    s.xMin = keptMin;
    s.xMax = keptMax;
    return code;
  }
  draw(e, s);
  return code;
}

bool savePlotPicture(Engine& e, int32_t slot, TextView saveMode, Text& name) {
  name.clear();
  if (slot < 1 || size_t(slot) >= e.plot.slots.size() || !e.plot.slots[size_t(slot)].window)
    return false;
  PlotSlot& s = e.plot.slots[size_t(slot)];
  const Text file = nextPictureName(e, saveMode);
  const bool saved = s.window->savePicture(file);
  s.window.reset();
  if (saved)
    name = file;
  return saved;
}

void closePlotWindow(Engine& e, int32_t slot) {
  if (slot >= 1 && size_t(slot) < e.plot.slots.size())
    e.plot.slots[size_t(slot)].window.reset();
}

void closePlotWindows(Engine& e) {
  for (PlotSlot& s : e.plot.slots) s.window.reset();
}

}  // namespace quadrel
