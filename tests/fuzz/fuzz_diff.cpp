// Arbitrary input for the differentiation: the first line is the variable,
// the rest the formula. Both go to the differentiation entry and, as one
// sDiff line, to the command executor, on one engine per input.
//
// Checks: the node table never holds more than its nodes; a failure always
// leaves a code; an answer reads back (differentiating it fails only when the
// table is too small, never on its grammar).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/diff/diff_state.h"
#include "core/diff/differentiate.h"
#include "core/engine.h"
#include "core/ground/error_table.h"
#include "core/script/executor.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_diff: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text text = decodeFuzzInput(data, size);
  const size_t cut = text.find(u'\n');
  const TextView variable = cut == Text::npos ? TextView(u"x") : TextView(text).substr(0, cut);
  const TextView formula = cut == Text::npos ? TextView(text) : TextView(text).substr(cut + 1);

  HeadlessPlatform platform;
  platform.fixedTime = true;
  Engine e(platform);

  Text answer;
  const bool ok = differentiate(e, formula, variable, answer);
  if (e.diff.index < 0 || e.diff.index > kMaxDiffNodes)
    fail("node index outside the table");
  if (ok != (e.errors.code == kNoError))
    fail("the answer and the code disagree");
  if (!ok && e.errors.code != kErrTokenMatch && e.errors.code != kErrNotFound && e.errors.code != kErrDivisionByZero)
    fail("a failure with an unexpected code");
  // Short formulas only: a long one's answer may nest brackets deeper than a
  // formula of the user may.
  if (ok && formula.size() < 256) {
    Text again;
    if (!differentiate(e, answer, variable, again) && e.errors.code != kErrDivisionByZero &&
        e.diff.index < kMaxDiffNodes / 2)
      fail("an answer does not read back");
  }

  if (formula.find(u'\'') == TextView::npos && formula.find(u'\r') == TextView::npos &&
      formula.find(u'\n') == TextView::npos && variable.find(u')') == TextView::npos) {
    Text line = u"sDiff(" + Text(variable) + u") = " + Text(formula);
    Text result;
    ExecOptions options;
    execCommands(e, line, result, options);
  }
  return 0;
}
