// Script throughput: a generated script of N "Expr = ..." lines through the
// command executor, next to the same arithmetic as a `bc -l` script run in a
// child process. Both sides are timed by the wall clock, so the comparison
// includes bc's start-up, as a user running a script file would see it.
//
//   cmake --preset bench && cmake --build build/bench -j2 && build/bench/bin/quadrel_script_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/eval/evaluator.h"
#include "core/script/executor.h"
#include "platform/headless/headless_platform.h"

extern char** environ;

namespace {

using namespace quadrel;

// One line shape: the formula with "k" for the line number, in our syntax
// and in bc's. Powers have whole exponents (bc knows no others), no unary
// minus meets a power (bc binds it tighter), and no divisor can be zero.
struct Shape {
  const char* ours;
  const char* bc;
};

const Shape kShapes[] = {
    {"(12.5+3*k)/7-2^3", "(12.5+3*k)/7-2^3"},
    {"k*(k-1)/2+0.75*k-100", "k*(k-1)/2+0.75*k-100"},
    {"sqrt(k+0.5)*2.25-1/(k+3)", "sqrt(k+0.5)*2.25-1/(k+3)"},
    {"((k+1)*(k+2)-(k+3))/(k+4.5)", "((k+1)*(k+2)-(k+3))/(k+4.5)"},
    {"sin(k/1000)*100+k/3", "s(k/1000)*100+k/3"},
    {"(k^2+1.5^2)/(2*k+1)-3^4/81", "(k^2+1.5^2)/(2*k+1)-3^4/81"},
    {"100/(1+k/50)^3+sqrt(2)*k", "100/(1+k/50)^3+sqrt(2)*k"},
    {"(k-500.25)*(k+0.125)/(1+k*k)", "(k-500.25)*(k+0.125)/(1+k*k)"},
};
constexpr size_t kShapeCount = sizeof kShapes / sizeof kShapes[0];

std::string withNumber(const char* shape, long k) {
  const std::string number = std::to_string(k);
  std::string s;
  for (const char* p = shape; *p; ++p) {
    if (*p == 'k')
      s += number;
    else
      s += *p;
  }
  return s;
}

// The formula of line k (1-based) on our side and on bc's.
std::string oursFormula(long k) { return withNumber(kShapes[size_t(k) % kShapeCount].ours, k); }
std::string bcFormula(long k) { return withNumber(kShapes[size_t(k) % kShapeCount].bc, k); }

Text ourScript(long n) {
  std::string s;
  for (long k = 1; k <= n; ++k) {
    s += "Expr = ";
    s += oursFormula(k);
    s += "\r\n";
  }
  return fromUtf8(s);
}

// Every line's value is printed, as our result text shows every line's.
std::string bcScript(long n) {
  std::string s = "scale=20\n";
  for (long k = 1; k <= n; ++k) {
    s += bcFormula(k);
    s += '\n';
  }
  s += "quit\n";
  return s;
}

// Runs `bc -l` on script; its output goes to output when given, else to
// /dev/null; cpuSeconds receives the child's user and system time. False
// when bc could not be run or did not succeed.
bool runBc(const std::string& script, std::string* output, double* cpuSeconds = nullptr) {
  int in[2], out[2] = {-1, -1};
  if (pipe2(in, O_CLOEXEC) != 0)
    return false;
  if (output && pipe2(out, O_CLOEXEC) != 0)
    return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  if (output)
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char arg0[] = "bc", arg1[] = "-l", arg2[] = "-q";
  char* argv[] = {arg0, arg1, arg2, nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "bc", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  if (output)
    close(out[1]);
  if (spawned != 0) {
    close(in[1]);
    if (output)
      close(out[0]);
    return false;
  }
  bool ok = true;
  if (output) {
    // Small scripts only (the check): the whole script fits the pipe's
    // buffer only if bc keeps reading, so write and read in turns.
    size_t written = 0;
    char buffer[65536];
    while (written < script.size()) {
      const ssize_t w = write(in[1], script.data() + written, std::min<size_t>(4096, script.size() - written));
      if (w <= 0) {
        ok = false;
        break;
      }
      written += size_t(w);
    }
    close(in[1]);
    for (ssize_t r; (r = read(out[0], buffer, sizeof buffer)) > 0;) output->append(buffer, size_t(r));
    close(out[0]);
  } else {
    size_t written = 0;
    while (written < script.size()) {
      const ssize_t w = write(in[1], script.data() + written, script.size() - written);
      if (w < 0 && errno == EINTR)
        continue;
      if (w <= 0) {
        ok = false;
        break;
      }
      written += size_t(w);
    }
    close(in[1]);
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  if (cpuSeconds)
    *cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Both sides must compute the same numbers, or the comparison means nothing.
// Our built-in functions work in single precision, hence the tolerance.
bool sidesAgree(long n) {
  std::string printed;
  if (!runBc(bcScript(n), &printed)) {
    std::fprintf(stderr, "bc -l could not be run\n");
    return false;
  }
  HeadlessPlatform platform;
  Engine engine(platform);
  bool ok = true;
  size_t at = 0;
  for (long k = 1; k <= n; ++k) {
    const size_t end = printed.find('\n', at);
    if (end == std::string::npos) {
      std::fprintf(stderr, "bc printed fewer lines than the script has\n");
      return false;
    }
    const double b = std::strtod(printed.substr(at, end - at).c_str(), nullptr);
    at = end + 1;
    const EvalOutcome outcome = evaluate(engine, fromUtf8(oursFormula(k)), true);
    const double a = outcome.value;
    const int32_t code = outcome.ok() ? 0 : outcome.error;
    if (code != 0 || !(std::fabs(a - b) <= 1e-5 * std::fabs(b) + 1e-6)) {
      std::fprintf(stderr, "line %ld \"%s\": ours %.10g (code %d), bc %.10g\n", k, oursFormula(k).c_str(), a, int(code),
                   b);
      ok = false;
    }
  }
  // The executor takes every line as a command and none fails.
  Text result;
  const int32_t code = execCommands(engine, ourScript(n), result, ExecOptions{});
  if (code != int32_t(n) * 1000) {
    std::fprintf(stderr, "the executor gives %d for %ld lines\n", int(code), n);
    ok = false;
  }
  return ok;
}

void BM_Ours_Script(benchmark::State& state) {
  const long n = long(state.range(0));
  const Text script = ourScript(n);
  // Untimed runs first: the allocator takes two runs of a size to settle
  // (the first maps its big blocks fresh, the second grows the heap), and
  // the timed runs should all find it settled, for 10 000 lines as for
  // 100 000, whose runs are too long to be repeated many times.
  for (int warm = 0; warm < 2; ++warm) {
    HeadlessPlatform platform;
    Engine engine(platform);
    Text result;
    execCommands(engine, script, result, ExecOptions{});
  }
  for (auto _ : state) {
    HeadlessPlatform platform;
    Engine engine(platform);
    Text result;
    const int32_t code = execCommands(engine, script, result, ExecOptions{});
    if (code != int32_t(n) * 1000) {
      state.SkipWithError("a script line failed");
      return;
    }
    benchmark::DoNotOptimize(result.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

void BM_Bc_Script(benchmark::State& state) {
  const long n = long(state.range(0));
  const std::string script = bcScript(n);
  double childSeconds = 0;
  for (auto _ : state) {
    double seconds = 0;
    if (!runBc(script, nullptr, &seconds)) {
      state.SkipWithError("bc -l failed");
      return;
    }
    childSeconds += seconds;
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * n);
  // The CPU column shows this process only; bc's own CPU time per run,
  // which a loaded machine disturbs less than the wall clock.
  state.counters["child_cpu_ms"] = benchmark::Counter(childSeconds * 1e3 / double(state.iterations()));
}

BENCHMARK(BM_Ours_Script)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Bc_Script)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Console output as usual; keeps the times per run (in ms, the unit of
// both benchmarks) for the closing comparison.
class ScriptReporter : public benchmark::ConsoleReporter {
 public:
  ScriptReporter() : ConsoleReporter(isatty(1) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred || r.run_type != Run::RT_Iteration)
        continue;
      // With repetitions, the fastest run: the one the machine disturbed least.
      Times& t = times[r.run_name.function_name + "/" + r.run_name.args];
      auto child = r.counters.find("child_cpu_ms");
      const double cpu = child != r.counters.end() ? child->second.value : r.GetAdjustedCPUTime();
      t.wall = t.wall > 0 ? std::min(t.wall, r.GetAdjustedRealTime()) : r.GetAdjustedRealTime();
      t.cpu = t.cpu > 0 ? std::min(t.cpu, cpu) : cpu;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  struct Times {
    double wall = 0, cpu = 0;
  };
  std::map<std::string, Times> times;
};

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  // bc splits long numbers over lines unless told not to.
  setenv("BC_LINE_LENGTH", "0", 1);
  if (!sidesAgree(400)) {
    std::fprintf(stderr, "the two sides disagree; no comparison made\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  ScriptReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // Lines per second by the wall clock and by CPU time (ours: this
  // process; bc: the child), and how the time grows from 10k to 100k lines.
  auto times = [&](const char* side, long n) { return reporter.times[std::string(side) + "/" + std::to_string(n)]; };
  for (long n : {10000L, 100000L}) {
    const auto ours = times("BM_Ours_Script", n), bc = times("BM_Bc_Script", n);
    if (ours.wall > 0 && bc.wall > 0)
      std::printf(
          "%6ld lines, lines/s wall: ours %.0f, bc -l %.0f, ours/bc %.2fx;  CPU: ours %.0f, bc -l %.0f, %.2fx\n", n,
          n * 1e3 / ours.wall, n * 1e3 / bc.wall, bc.wall / ours.wall, n * 1e3 / ours.cpu, n * 1e3 / bc.cpu,
          bc.cpu / ours.cpu);
  }
  for (const char* side : {"BM_Ours_Script", "BM_Bc_Script"}) {
    const auto t10 = times(side, 10000), t100 = times(side, 100000);
    if (t10.wall > 0 && t100.wall > 0)
      std::printf("%s: 100000 lines take %.2fx the wall time of 10000, %.2fx the CPU time (linear: 10)\n", side,
                  t100.wall / t10.wall, t100.cpu / t10.cpu);
  }
  return 0;
}
