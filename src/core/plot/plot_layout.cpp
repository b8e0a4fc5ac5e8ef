#include "core/plot/plot_layout.h"

#include <algorithm>
#include <cmath>

#include "core/text/number_text.h"

namespace quadrel {

namespace {

// Widens a zero range around its value so that nothing divides by zero and
// the value lies in the middle.
void widen(double& low, double& high) {
  if (high > low)
    return;
  const double half = std::max(1.0, std::abs(low) * 0.5);
  low -= half;
  high += half;
}

// A pixel coordinate; far-away values are held where every drawing layer
// still clips them correctly.
int pixel(double v) {
  constexpr double kFar = 1e6;
  if (!(v > -kFar))
    return int(-kFar);
  if (!(v < kFar))
    return int(kFar);
  return int(std::lround(v));
}

// The nearest integer, as text ("-0" written "0").
Text integerText(double v) { return fixedText(std::nearbyint(v) + 0.0, 0); }

}  // namespace

PlotMapping::PlotMapping(const PlotBounds& bounds, int width, int plotAreaHeight) : ranges_(bounds) {
  widen(ranges_.xMin, ranges_.xMax);
  widen(ranges_.yMin, ranges_.yMax);
  xScale_ = width / (ranges_.xMax - ranges_.xMin);
  yScale_ = plotAreaHeight / (ranges_.yMax - ranges_.yMin);
}

double PlotMapping::x(double value) const { return (value - ranges_.xMin) * xScale_; }
double PlotMapping::y(double value) const { return (value - ranges_.yMin) * yScale_; }

PlotLayout layoutPlot(const PlotBounds& bounds, bool anyValid, TextView formula, const double* xs, const double* ys,
                      size_t count, int innerWidth, int innerHeight, const MeasureText& measure) {
  PlotLayout l;
  l.width = std::max(innerWidth, 1);
  l.height = std::max(innerHeight - kButtonStripHeight, 1);
  const int a = l.plotAreaHeight = innerHeight - kPlotAreaMargin;
  const PlotMapping map(bounds, l.width, a);
  const PlotBounds& r = map.ranges();

  if (anyValid) {
    l.curve.reserve(std::min<size_t>(count, 4096));
    for (size_t i = 0; i < count; ++i) {
      if (!std::isfinite(ys[i]))
        continue;
      const PixelPoint p{pixel(map.x(xs[i])), pixel(a - map.y(ys[i]))};
      // Points on the same pixel draw nothing new.
      if (!l.curve.empty() && l.curve.back().x == p.x && l.curve.back().y == p.y)
        continue;
      l.curve.push_back(p);
    }
  }

  auto place = [&](Text text, double x, double y, Rgb colour) {
    const TextSize size = measure(text);
    const int px = std::clamp(pixel(x), 0, std::max(0, l.width - size.width));
    const int py = std::clamp(pixel(y), 0, std::max(0, l.height - size.height));
    l.labels.push_back({std::move(text), {px, py}, colour});
  };
  place(u"Expr = " + Text(formula), 0, 0, kCurveColour);

  const int axisY = pixel(a - map.y(0));
  const int axisX = pixel(map.x(0));
  l.xAxis[0] = {pixel(map.x(r.xMin)), axisY};
  l.xAxis[1] = {pixel(map.x(r.xMax)), axisY};
  l.yAxis[0] = {axisX, l.height};
  l.yAxis[1] = {axisX, 0};
  if (!anyValid)
    return l;

  const int letterHeight = measure(u"I").height;
  const Text origin = u"0,0";
  place(origin, map.x(0) - measure(origin).width / 2.0, a - map.y(0), kLabelColour);
  const double h = map.y(0) == 0 ? letterHeight + 2 : map.y(0);
  const Text low = integerText(r.xMin), high = integerText(r.xMax);
  place(low, map.x(r.xMin) + 2, a - h, kLabelColour);
  place(high, map.x(r.xMax) - 1.2 * measure(high).width, a - h, kLabelColour);
  place(trimNumberText(fixedText(r.yMin, 2)), map.x(2), a - map.y(r.yMin) - letterHeight - 2, kLabelColour);
  place(trimNumberText(fixedText(r.yMax, 2)), map.x(2), a - map.y(r.yMax) - 2, kLabelColour);
  return l;
}

void drawPlot(const PlotLayout& layout, DrawingSurface& surface) {
  if (layout.curve.size() > 1)
    surface.polyline(layout.curve.data(), layout.curve.size(), kCurveColour);
  const PlotLabel& title = layout.labels.front();
  surface.text(title.at.x, title.at.y, title.text, title.colour);
  surface.polyline(layout.xAxis, 2, kAxisColour);
  surface.polyline(layout.yAxis, 2, kAxisColour);
  for (size_t i = 1; i < layout.labels.size(); ++i)
    surface.text(layout.labels[i].at.x, layout.labels[i].at.y, layout.labels[i].text, layout.labels[i].colour);
}

}  // namespace quadrel
