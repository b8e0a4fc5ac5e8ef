#include "core/text/bounded_log.h"

#include <algorithm>

namespace quadrel {

namespace {

// Characters dropped before, as the log's first line says (0 without one).
size_t droppedBefore(TextView log, size_t& markLength) {
  markLength = 0;
  if (log.substr(0, kDroppedMark.size()) != kDroppedMark)
    return 0;
  size_t k = kDroppedMark.size(), n = 0;
  while (k < log.size() && log[k] >= u'0' && log[k] <= u'9') n = n * 10 + size_t(log[k++] - u'0');
  if (log.substr(k, kDroppedTail.size()) != kDroppedTail)
    return 0;
  markLength = k + kDroppedTail.size();
  return n;
}

}  // namespace

void appendBounded(Text& log, TextView piece, size_t limit) {
  if (log.size() + piece.size() <= limit) {
    log.append(piece);
    return;
  }
  size_t markLength;
  const size_t before = droppedBefore(log, markLength);
  // The room a mark with a count of up to 20 digits needs.
  const size_t markRoom = kDroppedMark.size() + 20 + kDroppedTail.size();
  // A full log drops a quarter at once, so that a run of short appends
  // copies the log once per quarter, not once per line.
  const size_t room = limit - limit / 4;
  const size_t keep = room > markRoom ? room - markRoom : 0;
  Text all = Text(TextView(log).substr(markLength));
  all.append(piece);
  size_t cut = all.size() > keep ? all.size() - keep : 0;
  // Whole lines go: the cut moves to the start of the next line.
  const size_t lineEnd = all.find(u'\n', cut == 0 ? 0 : cut - 1);
  if (cut > 0 && lineEnd != Text::npos && lineEnd + 1 < all.size())
    cut = lineEnd + 1;
  Text kept(kDroppedMark);
  kept.append(intText(int64_t(before + cut)));
  kept.append(kDroppedTail);
  kept.append(TextView(all).substr(cut));
  log.swap(kept);
}

Text shortened(TextView text, size_t limit) {
  if (text.size() <= limit)
    return Text(text);
  Text r(text.substr(0, limit));
  r.append(u"...");
  return r;
}

}  // namespace quadrel
