#include "core/numeric/integration.h"

#include "core/engine.h"
#include "core/eval/compiled_formula.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/text/number_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

void fail(Engine& e, int32_t code, int32_t line, TextView extra) {
  clearErrorCode(e);
  raise(e, code, u"Integrate", line, extra);
}

// One rule's walk over the points. A cell keeps the value of the last
// successful evaluation of its kind (e_eval writes only on success).
class RuleWalk {
 public:
  RuleWalk(Engine& e, TextView formula, TextView variable) : e_(e), sampler_(e, formula, variable) {}
  ~RuleWalk() { sampler_.finish(); }

  // Evaluates at x into cell; false when the evaluation failed.
  bool at(double x, double& cell) {
    // An interrupt is looked at once every 65536 points.
    if ((++count_ & 0xFFFF) == 0 && e_.script.interrupted()) {
      stopped_ = true;
      last_ = kErrUndefined;
      return false;
    }
    const SampleOutcome o = sampler_.evaluate(x);
    last_ = o.status;
    if (o.written)
      cell = o.value;
    return o.written;
  }
  int32_t last() const { return last_; }
  bool stopped() const { return stopped_; }

 private:
  Engine& e_;
  FormulaSampler sampler_;
  int32_t last_ = 0;
  uint32_t count_ = 0;
  bool stopped_ = false;
};

double midpoint(RuleWalk& walk, double a, double h, int64_t n) {
  double sum = 0.0, y = 0.0;
  for (int64_t i = 1; i <= n; ++i) {
    const double m = ((a + double(i - 1) * h) + (a + double(i) * h)) / 2;
    walk.at(m, y);
    if (walk.stopped())
      break;
    sum += y;
  }
  return h * sum;
}

double trapezoid(RuleWalk& walk, double a, double b, double h, int64_t n) {
  double fa = 0.0, fb = 0.0;
  walk.at(a, fa);
  walk.at(b, fb);
  const double ends = (fa + fb) / 2;
  double sum = 0.0;
  for (int64_t i = 1; i <= n - 1; ++i) {
    double y = 0.0;
    if (!walk.at(a + double(i) * h, y))
      break;
    sum += y;
  }
  return h * (ends + sum);
}

double simpson(RuleWalk& walk, double a, double b, double h, int64_t n) {
  double fa = 0.0, fb = 0.0, fl = 0.0;
  walk.at(a, fa);
  walk.at(b, fb);
  walk.at(a + double(n - 1) * h, fl);
  const double s0 = fa + 4 * fl + fb;
  double sum = 0.0, odd = 0.0, even = 0.0;
  for (int64_t k = 1; k <= n / 2 - 1; ++k) {
    walk.at(a + double(2 * k - 1) * h, odd);
    walk.at(a + double(2 * k) * h, even);
    if (walk.stopped())
      break;
    sum += 2 * odd + even;
  }
  return (h / 3) * (s0 + 2 * sum);
}

}  // namespace

int32_t integrate(Engine& e, TextView formula, double a, double b, int32_t n, int32_t method, TextView variable,
                  double* result) {
  if (!result) {
    if (e.messages.showLevel & 1)
      e.platform.messageBox(u"RaRarevo: Integrate", u"Input parameter error: Returned Value not defined",
                            BoxButtons::Ok, BoxIcon::None);
    fail(e, kErrNoValue, 40, u"Returned Value not defined\r\n");
    return kErrNoValue;
  }
  if (n < 1 || n > kMaxSubintervals) {
    fail(e, kErrInvalidArgument, 45, u"N = " + intText(n) + u"\r\n");
    return kErrInvalidArgument;
  }
  if (method != kMidpoint && method != kTrapezoid && method != kSimpson) {
    *result = 0.0;
    fail(e, kErrIntegrationMethod, 50, u"Method = " + intText(method) + u"\r\n");
    return kErrIntegrationMethod;
  }
  if (method == kSimpson && n % 2 != 0) {
    if (e.messages.showLevel != 0)
      e.platform.messageBox(u"Solver", u"Simpson's Rule requires that number of subintervals N be even.",
                            BoxButtons::Ok, BoxIcon::None);
    fail(e, kErrSimpsonOddCount, 55, u"N = " + intText(n) + u"\r\n");
    return kErrSimpsonOddCount;
  }
  const double h = (b - a) / n;
  const Text name = toLower(variable);
  int32_t last;
  bool stopped;
  {
    // The walk's end settles the evaluator's state; an interrupt is reported after it.
    RuleWalk walk(e, formula, name);
    switch (method) {
      case kMidpoint: *result = midpoint(walk, a, h, n); break;
      case kTrapezoid: *result = trapezoid(walk, a, b, h, n); break;
      default: *result = simpson(walk, a, b, h, n); break;
    }
    last = walk.last();
    stopped = walk.stopped();
  }
  if (stopped) {
    fail(e, kErrUndefined, 60, u"Interrupted\r\n");
    return kErrUndefined;
  }
  return last;
}

double integrateToCell(Engine& e, TextView formula, double a, double b, int32_t n, int32_t method, TextView variable) {
  integrate(e, formula, a, b, n, method, variable, &e.numeric.integralCell);
  return e.numeric.integralCell;
}

}  // namespace quadrel
