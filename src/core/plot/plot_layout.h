// Where everything of a plot image goes: the mapping of values to pixels,
// the curve's points, the axes and the labels with their texts. Computed
// once by the core; a drawing surface then only draws it.
#pragma once

#include <functional>
#include <vector>

#include "core/plot/plot_state.h"
#include "platform/plot_window.h"

namespace quadrel {

inline constexpr Rgb kCurveColour{255, 0, 0};
inline constexpr Rgb kAxisColour{255, 255, 255};
inline constexpr Rgb kLabelColour{0, 0, 0};

// Below the image lies the strip of buttons and fields.
inline constexpr int kButtonStripHeight = 35;
// The plot area ends this far above the bottom of the window's inner area.
inline constexpr int kPlotAreaMargin = 55;

// Pixel offsets from the lowest corner of the value ranges. A constant
// function's or a single point's zero range is widened around its value.
class PlotMapping {
 public:
  PlotMapping(const PlotBounds& bounds, int width, int plotAreaHeight);
  double x(double value) const;
  double y(double value) const;
  const PlotBounds& ranges() const { return ranges_; }

 private:
  PlotBounds ranges_;
  double xScale_, yScale_;
};

struct PlotLabel {
  Text text;
  PixelPoint at;  // top left corner, inside the image
  Rgb colour;
};

struct PlotLayout {
  int width = 0, height = 0;  // of the image
  int plotAreaHeight = 0;
  std::vector<PixelPoint> curve;  // one polyline; failed samples left out
  PixelPoint xAxis[2], yAxis[2];
  bool drawAxes = true;
  std::vector<PlotLabel> labels;  // the title first
};

using MeasureText = std::function<TextSize(TextView)>;

// The layout of a plot in a window whose inner area is innerWidth x
// innerHeight. samples: count x and y values, y = +infinity for a failed one.
PlotLayout layoutPlot(const PlotBounds& bounds, bool anyValid, TextView formula, const double* xs, const double* ys,
                      size_t count, int innerWidth, int innerHeight, const MeasureText& measure);

// Draws a layout: curve, title, axes, labels.
void drawPlot(const PlotLayout& layout, DrawingSurface& surface);

}  // namespace quadrel
