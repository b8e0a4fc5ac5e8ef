#include "core/plot/sampling.h"

#include <cmath>
#include <limits>

#include "core/engine.h"
#include "core/ground/error_report.h"
#include "core/ground/error_table.h"
#include "core/limits.h"
#include "core/text/number_text.h"

namespace quadrel {

PlotSampler::PlotSampler(Engine& e, TextView formula, TextView variable)
    : sampler_(e.formulas->sampler(formula, variable)) {}

bool PlotSampler::valueAt(double x, double& y) {
  const SampleOutcome point = sampler_->evaluate(x);
  if (point.status != 0 || !point.written)
    return false;  // a failure, or a matrix where a number is needed
  y = point.value;
  return std::isfinite(y);
}

SampleResult sampleFormula(Engine& e, TextView formula, TextView variable, double xMin, double xMax, int32_t intervals,
                           std::vector<double>& xs, std::vector<double>& ys) {
  SampleResult r;
  xs.clear();
  ys.clear();
  // A plot is an evaluation of its own: a code left by reading the command
  // (0 from its number fields) would otherwise keep its refusals unreported.
  clearErrorCode(e);
  const double step = (xMax - xMin) / intervals;
  if (intervals < 1 || !(xMin < xMax) || !std::isfinite(xMin) || !std::isfinite(xMax) || !std::isfinite(step) ||
      !(step > 0)) {
    fail(e,
         {kErrInvalidArgument, u"aPlot", 100,
          u"n = " + intText(intervals) + u", xmin = " + fixedText(xMin) + u", xmax = " + fixedText(xMax) + u"\r\n"},
         Pending::Stands);
    r.code = kErrInvalidArgument;
    return r;
  }
  if (intervals > kMaxPlotIntervals) {
    raise(e, kErrInvalidArgument, u"aPlot", 101,
          u"n = " + intText(intervals) + u"\r\nLimit: a plot may have at most " + intText(kMaxPlotIntervals) +
              u" intervals\r\n");
    r.code = kErrInvalidArgument;
    return r;
  }
  xs.reserve(size_t(intervals) + 2);
  ys.reserve(size_t(intervals) + 2);
  PlotSampler sampler(e, formula, variable);
  int32_t lastFailure = -1;
  double x = xMin;
  for (int32_t i = 0; i <= intervals; ++i, x += step) {
    // The last step may overshoot xMax by the rounding of the additions:
    // that point is xMax itself, so the plot ends where it was asked to.
    if (x > xMax) {
      if (i != intervals || x - xMax > step * 1e-6)
        break;
      x = xMax;
    }
    double y = 0;
    if (sampler.valueAt(x, y)) {
      PlotBounds& b = r.bounds;
      if (r.valid == 0) {
        b = {x, x, y, y};
      } else {
        b.xMin = std::min(b.xMin, x);
        b.xMax = std::max(b.xMax, x);
        b.yMin = std::min(b.yMin, y);
        b.yMax = std::max(b.yMax, y);
      }
      ++r.valid;
    } else {
      y = std::numeric_limits<double>::infinity();
      lastFailure = e.errors.code > 0 ? e.errors.code : kErrInvalidArgument;
    }
    xs.push_back(x);
    ys.push_back(y);
  }
  sampler.finish();
  r.count = int32_t(xs.size());
  if (r.valid == 0)
    r.code = lastFailure > 0 ? lastFailure : kErrInvalidArgument;
  return r;
}

}  // namespace quadrel
