// Arbitrary input as formulas over a small matrix store: square, singular,
// rectangular and vector matrices, evaluated with both entries. Checks that
// every temporary goes when an evaluation ends, that a matrix result is a
// buffer the store knows, and that named matrices never change.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/matrix/matrix_store_ops.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

constexpr size_t kMaxFormulas = 6;
const char16_t* const kDefinitions[] = {
    u"[a];2;2;1;2;3;4",
    u"[s];2;2;1;2;2;4",
    u"[r];2;3;1;2;3;4;5;6",
    u"[v];2;1;5;6",
    u"[w];1;3;1;0;-1",
    u"[i];3;3;1;0;0;0;1;0;0;0;1",
    u"[b];4;4;2;1;0;0;1;2;1;0;0;1;2;1;0;0;1;2",
};

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_matrix_formula: %s\n", what);
  std::abort();
}

// The elements of the named matrices, in definition order.
std::vector<double> snapshot(Engine& e) {
  std::vector<double> all;
  for (const char16_t* d : kDefinitions) {
    const TextView definition(d);
    const MatrixRecord* r = recordNamed(e, matrixKey(definition.substr(0, definition.find(u';'))));
    if (!r)
      fail("a named matrix went away");
    all.insert(all.end(), r->data, r->data + r->count());
  }
  return all;
}

void checkResult(Engine& e, const EvalOutcome& o) {
  const MatrixStore& s = e.matrix.store;
  size_t internal = 0;
  for (size_t k = 0; k < s.size(); ++k) internal += s.at(int(k)).internal ? 1 : 0;
  if (o.isMatrix()) {
    const MatrixRecord* r = recordOfBuffer(e, reinterpret_cast<const double*>(intptr_t(o.value)));
    if (!r || !r->internal)
      fail("a matrix result the store does not hold as a temporary");
    if (internal != 1)
      fail("temporaries left besides the result");
  } else if (internal != 0) {
    fail("temporaries left after an evaluation without a matrix result");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 2048)
    return 0;
  const Text text = decodeFuzzInput(data, size);
  HeadlessPlatform platform;
  platform.fixedTime = true;
  Engine e(platform);
  e.matrix.powerWorkLimit = kFuzzPowerWorkLimit;
  for (const char16_t* d : kDefinitions) setStrMatrix(e, d, false, false);
  const std::vector<double> before = snapshot(e);

  size_t start = 0, count = 0;
  while (start <= text.size() && count < kMaxFormulas) {
    size_t end = text.find(u'\n', start);
    if (end == Text::npos)
      end = text.size();
    const TextView f = TextView(text).substr(start, end - start);
    start = end + 1;
    if (f.empty())
      continue;
    ++count;
    checkResult(e, evaluate(e, f, false));
    checkResult(e, evaluateAllowingInfinity(e, f, false));
  }
  const std::vector<double> after = snapshot(e);
  if (after.size() != before.size() || std::memcmp(after.data(), before.data(), before.size() * sizeof(double)) != 0)
    fail("a formula changed a named matrix");
  return 0;
}
