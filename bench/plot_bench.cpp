// A plot of 100 001 points of a typical formula: sampled, drawn into the
// 400 x 365 image and written as a JPEG picture, as the Plot command does
// with saving on.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/engine.h"
#include "core/script/executor.h"
#include "platform/headless/headless_platform.h"

namespace {

void BM_Plot100001PointsSavedAsJpeg(benchmark::State& state) {
  quadrel::HeadlessPlatform platform;
  quadrel::Engine e{platform};
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quadrel-plot-bench";
  std::filesystem::create_directories(folder);
  e.plot.outputFolder = quadrel::fromUtf8(folder.string() + "/");
  e.script.settings.savePlotPath = u"0";
  quadrel::ExecOptions options;
  options.savePlots = true;
  quadrel::Text result;
  for (auto _ : state) {
    quadrel::execCommands(e, u"Plot(-10; x; 10; 100000) = sin(x)*x^2 + 3*cos(2*x)", result, options);
    benchmark::DoNotOptimize(result);
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Plot100001PointsSavedAsJpeg)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
