// Arbitrary input as the parameters and formula of a Plot line: the
// parameter reader, sampling (the count held small so that one input stays
// quick) and the image layout with every value the input can produce.
// Neither windows nor files: the layout is measured with fixed letter sizes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/engine.h"
#include "core/plot/plot_command.h"
#include "core/plot/plot_layout.h"
#include "core/plot/sampling.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 12)
    return 0;
  const Text input = decodeFuzzInput(data, size);
  const size_t eq = input.find(u'=');
  const TextView params = TextView(input).substr(0, eq);
  const TextView formula = eq == Text::npos ? TextView() : TextView(input).substr(eq + 1);
  PlotRequest r = parsePlotRequest(params, formula);
  r.intervals = std::clamp(r.intervals, -2, 64);
  HeadlessPlatform platform;
  Engine e(platform);
  std::vector<double> xs, ys;
  const SampleResult s = sampleFormula(e, r.formula, r.variable, r.xMin, r.xMax, r.intervals, xs, ys);
  if (s.count > std::max(r.intervals + 1, 0) || s.valid > s.count || xs.size() != ys.size())
    std::abort();
  const PlotLayout l =
      layoutPlot(s.bounds, s.valid > 0, r.formula, xs.data(), ys.data(), xs.size(), 400, 400, [](TextView t) {
        return TextSize{int(std::min<size_t>(t.size(), 1000)) * 6, 13};
      });
  for (const PlotLabel& label : l.labels)
    if (label.at.x < 0 || label.at.y < 0 || label.at.y + 13 > l.height)
      std::abort();
  return 0;
}
