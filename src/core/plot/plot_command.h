// One plot from its script line to its window, and the windows' lifetime.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

struct PlotRequest {
  Text formula;
  double xMin = 0;
  Text variable;
  double xMax = 0;
  int32_t intervals = 0;
  Text pointsFile;
};

// Reads "xmin; variable; xmax; n[; points file]" (the text between the
// brackets) and the formula after "=".
PlotRequest parsePlotRequest(TextView params, TextView formula);

// Plot number slot: samples, writes the points file when one is named,
// opens the window and draws. -1, or the evaluator code of a plot that
// could not be drawn (code 13 for a bad interval or count: then no window).
int32_t runPlot(Engine& e, int32_t slot, const PlotRequest& request);

// Samples plot number slot again between from and to and redraws it.
// kStatusRunRefused while a run is in progress: nothing is sampled.
int32_t redrawPlot(Engine& e, int32_t slot, double from, double to);

// Captures the window of plot number slot and saves it as a picture for the
// save mode; name receives the file name (empty for the empty mode). The
// window is closed afterwards. False when the picture could not be saved.
bool savePlotPicture(Engine& e, int32_t slot, TextView saveMode, Text& name);

// Closes the window of plot number slot.
void closePlotWindow(Engine& e, int32_t slot);
// Closes every plot window of earlier runs.
void closePlotWindows(Engine& e);

}  // namespace quadrel
