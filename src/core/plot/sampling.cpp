#include "core/plot/sampling.h"

#include <cmath>
#include <limits>

#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/evaluator.h"
#include "core/eval/lexer.h"
#include "core/text/number_text.h"

namespace quadrel {

FormulaSampler::FormulaSampler(Engine& e, TextView formula, TextView variable) : e_(e) {
  size_t last = 0;
  if (!variable.empty()) {
    for (size_t i = 0; i < formula.size();) {
      const TokenSpan t = scanToken(formula, i);
      if (t.kind == Lexeme::Identifier && formula.substr(t.start, t.end - t.start) == variable) {
        pieces_.push_back(formula.substr(last, t.start - last));
        last = t.end;
      }
      i = t.end;
    }
  }
  pieces_.push_back(formula.substr(last));
}

bool FormulaSampler::valueAt(double x, double& y) {
  text_.clear();
  const Text xText = u"(" + trimNumberText(fixedText(x, kFormulaDecimals)) + u")";
  for (size_t p = 0; p < pieces_.size(); ++p) {
    if (p)
      text_.append(xText);
    text_.append(pieces_[p]);
  }
  const EvalOutcome outcome = evaluate(e_, text_, false);
  if (!outcome.ok() || !outcome.isNumber())
    return false;
  y = outcome.value;
  return std::isfinite(y);
}

SampleResult sampleFormula(Engine& e, TextView formula, TextView variable, double xMin, double xMax, int32_t intervals,
                           std::vector<double>& xs, std::vector<double>& ys) {
  SampleResult r;
  xs.clear();
  ys.clear();
  const double step = (xMax - xMin) / intervals;
  if (intervals < 1 || !(xMin < xMax) || !std::isfinite(xMin) || !std::isfinite(xMax) || !std::isfinite(step) ||
      !(step > 0)) {
    raise(e, kErrInvalidArgument, u"aPlot", 100,
          u"n = " + intText(intervals) + u", xmin = " + fixedText(xMin) + u", xmax = " + fixedText(xMax) + u"\r\n");
    r.code = kErrInvalidArgument;
    return r;
  }
  xs.reserve(size_t(intervals) + 2);
  ys.reserve(size_t(intervals) + 2);
  FormulaSampler sampler(e, formula, variable);
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
  r.count = int32_t(xs.size());
  if (r.valid == 0)
    r.code = lastFailure > 0 ? lastFailure : kErrInvalidArgument;
  return r;
}

}  // namespace quadrel
