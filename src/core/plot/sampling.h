// Sampling a formula of one variable over an interval for a plot.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/ground/formula_port.h"
#include "core/plot/plot_state.h"
#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The value of a formula at one x, by the evaluator's definition of a
// sampled formula (the bracketed number text of x in place of each whole
// identifier naming the variable), computed through the compiled form where
// that is provably the same. The one place where plots meet the evaluator.
class PlotSampler {
 public:
  PlotSampler(Engine& e, TextView formula, TextView variable);
  // False when the evaluation fails or its value is not a finite number.
  bool valueAt(double x, double& y);
  // After the last point: leaves the evaluator's state as the text path would.
  void finish() { sampler_->finish(); }

 private:
  std::unique_ptr<PointSampler> sampler_;
};

// What sampling gave.
struct SampleResult {
  int32_t code = -1;  // -1, or the evaluator code that made the plot fail
  int32_t count = 0;  // samples taken (at most intervals + 1)
  int32_t valid = 0;  // samples with a value
  PlotBounds bounds;  // of the valid samples only
};

// Samples n + 1 points from xMin in steps of (xMax - xMin) / n, the x
// accumulated step by step and never beyond xMax (a last x beyond it by
// rounding alone is xMax). A point that fails keeps
// its x and gets y = +infinity. n < 1, xMax <= xMin or bounds that are not
// finite give code 13 and no samples.
SampleResult sampleFormula(Engine& e, TextView formula, TextView variable, double xMin, double xMax, int32_t intervals,
                           std::vector<double>& xs, std::vector<double>& ys);

}  // namespace quadrel
