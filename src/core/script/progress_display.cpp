// The progress window of script runs (declared in batch_run.h).
#include <cmath>
#include <cstdio>

#include "core/engine.h"
#include "core/script/batch_run.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

// How many "|" fill the progress window's text field: the field is about
// 180 pixels wide and a "|" of the window font about 3 pixels.
constexpr int kBarCapacity = 60;

}  // namespace

Text progressBar(float done, float total, int capacity) {
  double fraction = total > 0 ? double(done) / double(total) : 0.0;
  if (!std::isfinite(fraction))
    fraction = 0.0;
  double bars = std::floor(fraction * capacity);
  bars = bars < 0 ? 0 : (bars > capacity ? capacity : bars);
  Text text(size_t(bars), u'|');
  text.append(8, u' ');
  char percent[32];
  std::snprintf(percent, sizeof percent, "%.1f", fraction * 100.0);
  text.append(ascii(percent));
  text.append(u" %");
  return text;
}

void showProgress(Engine& e, float done, float total, bool show, TextView text) {
  if (!show) {
    if (e.script.progressOpen) {
      e.platform.progressClose();
      e.script.progressOpen = false;
    }
    return;
  }
  e.script.progressOpen = true;
  e.platform.progressShow(text.empty() ? progressBar(done, total, kBarCapacity) : Text(text));
  // Keep the host responsive while a long script runs.
  e.platform.pumpMessages();
}

}  // namespace quadrel
