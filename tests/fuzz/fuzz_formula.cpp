// Arbitrary input as formula text for the evaluation entries, on one engine
// per input.
//
// The input is read as text: byte by byte (each byte one UTF-16 unit), or,
// when the first byte is 0x01, the rest as UTF-16LE units. The text is split
// into lines:
//   $name=value   defines a variable
//   @name=body    defines a user function
//   %digits       sets the show level (first digit) and the true value
//                 (second digit odd: +1)
//   anything else is a formula for evaluate, evaluateAllowingInfinity and
//                 evaluateSamples (variable x, a few points)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/diag/message_channel.h"
#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/eval/store_ops.h"
#include "core/ground/error_table.h"
#include "exports/eval_answer.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

constexpr size_t kMaxFormulas = 8;
// Sampling re-expands the formula per point; beyond this expanded length one
// evaluation is enough.
constexpr size_t kMaxSampledLength = 1 << 16;

void define(Engine& e, TextView line, bool isFunction) {
  const size_t eq = line.find(u'=');
  const TextView name = line.substr(0, eq);
  const TextView value = eq == TextView::npos ? TextView() : line.substr(eq + 1);
  defineEntry(e, name, value, isFunction);
}

bool sameValue(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_formula: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text text = decodeFuzzInput(data, size);
  // rnd draws a new number per evaluation, so repeated evaluations may differ.
  const bool deterministic = toLower(text).find(u"rnd") == Text::npos;

  HeadlessPlatform platform;
  platform.fixedTime = true;
  Engine e(platform);

  std::vector<TextView> formulas;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == Text::npos)
      end = text.size();
    const TextView line = TextView(text).substr(start, end - start);
    start = end + 1;
    if (line.empty())
      continue;
    switch (line[0]) {
      case u'$': define(e, line.substr(1), false); break;
      case u'@': define(e, line.substr(1), true); break;
      case u'%':
        if (line.size() > 1)
          e.messages.showLevel = (line[1] - u'0') & 7;
        if (line.size() > 2)
          setBoolSign(e, (line[2] & 1) ? 1 : -1);
        break;
      default:
        if (formulas.size() < kMaxFormulas)
          formulas.push_back(line);
        break;
    }
  }

  for (size_t k = 0; k < formulas.size(); ++k) {
    const TextView f = formulas[k];
    const bool check = (k & 1) == 0;
    double value = 0.0;
    const int32_t code = evalAnswer(evaluate(e, f, check), &value);
    const bool succeeded = code == 0 && e.errors.code == kNoError;
    const size_t expandedLength = e.lexer.expression.size();

    // The same formula again gives the same answer: nothing of one
    // evaluation leaks into the next.
    const double again = deEvalAnswer(evaluateAllowingInfinity(e, f, check));
    if (deterministic && succeeded && !sameValue(value, again))
      fail("evaluateAllowingInfinity differs from evaluate");
    // A failure other than an infinite result (which only evaluate turns
    // into code 8) is the same failure for both entries.
    if (deterministic && code > 1 && code != kErrDivisionByZero && !sameValue(again, double(code)))
      fail("evaluateAllowingInfinity reports another code than evaluate");

    if (expandedLength > kMaxSampledLength)
      continue;
    const int32_t n = int32_t(1 + f.size() % 4);
    const double x0 = -1.5, x1 = 2.5;
    std::vector<double> xs(size_t(n) + 1, NAN), ys(size_t(n) + 1, NAN);
    double info[5] = {NAN, NAN, NAN, NAN, NAN};
    evaluateSamples(e, f, x0, u"x", x1, n, xs.data(), ys.data(), info);
    for (int32_t i = 0; i <= n; ++i) {
      if (!(xs[size_t(i)] >= x0 && xs[size_t(i)] <= x1))
        fail("sample point outside the interval");
      if (i > 0 && !(xs[size_t(i)] > xs[size_t(i) - 1]))
        fail("sample points not increasing");
    }
    if (info[0] != 0.0)
      fail("info[0] not cleared");
  }
  return 0;
}
