// Every parser of user text runs its deepest accepted input on a thread with
// a 256 KiB stack (the stack the editor's thread may leave a plug-in): the
// nesting limits are measured here, not hoped for. Each case first finds the
// deepest input its parser accepts (on the test's own large stack), then runs
// exactly that input on the small stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <string>

#include "core/diff/differentiate.h"
#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/limits.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/script/command_line.h"
#include "core/script/executor.h"
#include "core/script/script_state.h"
#include "platform/headless/headless_platform.h"

namespace quadrel {
namespace {

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer surrounds every local with guard zones and keeps the
// inlined scanner's locals apart, which makes the parser's frames several
// times larger: the sanitised build checks only that the depth is bounded.
constexpr size_t kStackBytes = 8 * 256 * 1024;
#else
constexpr size_t kStackBytes = 256 * 1024;
#endif

// Runs work on a new thread with a stack of kStackBytes; an overflow ends
// the test program (a crash the test run reports).
void onSmallStack(const std::function<void()>& work) {
  pthread_attr_t attr;
  ASSERT_EQ(pthread_attr_init(&attr), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, kStackBytes), 0);
  pthread_t thread;
  auto* job = new std::function<void()>(work);
  auto start = [](void* p) -> void* {
    auto* f = static_cast<std::function<void()>*>(p);
    (*f)();
    delete f;
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, start, job), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

Text repeated(TextView piece, int n) {
  Text t;
  for (int k = 0; k < n; ++k) t.append(piece);
  return t;
}

// The largest n in [1, high] for which accepts(n) holds, assuming it holds
// for every smaller n (0 when it never holds).
int deepestAccepted(int high, const std::function<bool(int)>& accepts) {
  int low = 0;
  while (low < high) {
    const int mid = low + (high - low + 1) / 2;
    if (accepts(mid))
      low = mid;
    else
      high = mid - 1;
  }
  return low;
}

struct FormulaShape {
  const char* name;
  std::function<Text(int)> make;
};

const FormulaShape kFormulaShapes[] = {
    {"brackets", [](int n) { return repeated(u"(", n) + u"1" + repeated(u")", n); }},
    {"functions", [](int n) { return repeated(u"sin(", n) + u"1" + repeated(u")", n); }},
    {"signs", [](int n) { return repeated(u"-", n) + u"1"; }},
    {"powers", [](int n) { return repeated(u"1^", n) + u"1"; }},
};

TEST(StackDepth, FormulaParserDeepestInputFitsTheSmallStack) {
  for (const FormulaShape& shape : kFormulaShapes) {
    HeadlessPlatform platform;
    Engine e(platform);
    const int n = deepestAccepted(4 * kMaxParserDepth, [&](int k) { return evaluate(e, shape.make(k), true).ok(); });
    ASSERT_GT(n, 10) << shape.name;
    bool ok = false;
    onSmallStack([&] { ok = evaluate(e, shape.make(n), true).ok(); });
    EXPECT_TRUE(ok) << shape.name << " n=" << n;
    if (n == 4 * kMaxParserDepth)
      continue;  // a shape the parser reads without nesting (a chain of powers)
    // One more level is refused with a code, on the small stack too.
    int32_t code = kNoError;
    onSmallStack([&] { code = evaluate(e, shape.make(n + 1), true).error; });
    EXPECT_NE(code, kNoError) << shape.name;
  }
}

TEST(StackDepth, SampledFormulaDeepestInputFitsTheSmallStack) {
  HeadlessPlatform platform;
  Engine e(platform);
  auto make = [](int n) { return repeated(u"(", n) + u"x" + repeated(u")", n); };
  double xs[3], ys[3], info[5];
  auto run = [&](int n) { return evaluateSamples(e, make(n), 0, u"x", 2, 2, xs, ys, info) == kNoError; };
  const int n = deepestAccepted(4 * kMaxParserDepth, run);
  ASSERT_GT(n, 10);
  bool ok = false;
  onSmallStack([&] { ok = run(n); });
  EXPECT_TRUE(ok) << n;
  EXPECT_EQ(ys[2], 2.0);
}

struct DiffShape {
  const char* name;
  std::function<Text(int)> make;
};

const DiffShape kDiffShapes[] = {
    {"brackets", [](int n) { return repeated(u"(", n) + u"x^2" + repeated(u")", n); }},
    {"sum", [](int n) { return u"x" + repeated(u"+x", n); }},
    {"product", [](int n) { return u"x" + repeated(u"*x", n); }},
    {"functions", [](int n) { return repeated(u"sin(", n) + u"x" + repeated(u")", n); }},
    {"powers", [](int n) { return repeated(u"(", n) + u"x" + repeated(u")^2", n); }},
};

TEST(StackDepth, DifferentiationDeepestInputFitsTheSmallStack) {
  for (const DiffShape& shape : kDiffShapes) {
    HeadlessPlatform platform;
    Engine e(platform);
    Text answer;
    auto run = [&](int k) { return differentiate(e, shape.make(k), u"x", answer) && !answer.empty(); };
    const int n = deepestAccepted(4 * kMaxDiffNodes, run);
    ASSERT_GT(n, 5) << shape.name;
    bool ok = false;
    onSmallStack([&] { ok = run(n); });
    EXPECT_TRUE(ok) << shape.name << " n=" << n;
    onSmallStack([&] { ok = run(n + 1); });
    EXPECT_FALSE(ok) << shape.name << " n=" << n + 1;
  }
}

TEST(StackDepth, MatrixTextDeepestElementFitsTheSmallStack) {
  HeadlessPlatform platform;
  Engine e(platform);
  auto make = [](int n) { return u"m;1;2;" + repeated(u"(", n) + u"2" + repeated(u")", n) + u";3"; };
  auto run = [&](int n) { return setStrMatrix(e, make(n), false, true) >= 0 && e.errors.code == kNoError; };
  const int n = deepestAccepted(4 * kMaxParserDepth, run);
  ASSERT_GT(n, 10);
  bool ok = false;
  onSmallStack([&] { ok = run(n); });
  EXPECT_TRUE(ok) << n;
}

TEST(StackDepth, ScriptLineAndCommandLineDeepestFormulaFitTheSmallStack) {
  HeadlessPlatform platform;
  Engine e(platform);
  auto formula = [](int n) { return repeated(u"(", n) + u"7" + repeated(u")", n); };
  Text result;
  // A script line: one command, no error (commands x 1000 + errors).
  auto line = [&](int n) { return execCommands(e, u"Expr = " + formula(n), result, ExecOptions()) == 1000; };
  const int n = deepestAccepted(4 * kMaxParserDepth, line);
  ASSERT_GT(n, 10);
  bool ok = false;
  onSmallStack([&] { ok = line(n); });
  EXPECT_TRUE(ok) << n;
  // The same formula through the command line of the script entry.
  int32_t status = 0;
  onSmallStack([&] { status = otmEvalMain(e, u"/noh /sel:'Expr = " + formula(n) + u"'"); });
  EXPECT_EQ(status, -1);
  EXPECT_NE(e.script.resultText.find(u"Number = 7"), Text::npos) << toUtf8(e.script.resultText);
}

}  // namespace
}  // namespace quadrel
