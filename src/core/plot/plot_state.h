// Process-wide state of plotting: the plot slots of the runs, the samples of
// the latest plot, the open windows and the picture counter.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/text/u16.h"
#include "platform/plot_window.h"

namespace quadrel {

// Smallest and largest x and y of the valid samples of a plot.
struct PlotBounds {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

struct PlotSlot {
  Text formula;
  double xMin = 0, xMax = 0;
  Text variable;
  int32_t intervals = 0;
  PlotBounds bounds;
  int32_t validSamples = 0;
  std::unique_ptr<PlotWindow> window;
};

struct PlotState {
  // Indexed by plot number (entry 0 unused), kept between runs.
  std::vector<PlotSlot> slots;
  // Samples of the latest plot; a failed sample has y = +infinity.
  std::vector<double> xs, ys;
  // Numbers saved pictures; never reset.
  int32_t pictureCounter = 0;
  // Folder of point files and pictures; empty means the library's folder.
  Text outputFolder;
};

}  // namespace quadrel
