#include "core/plot/plot_files.h"

#include <cmath>

#include "core/engine.h"
#include "core/ground/legacy_names.h"
#include "core/text/file_probe.h"
#include "core/text/number_text.h"
#include "core/text/path_text.h"
#include "core/text/text_files.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

Text withSeparator(Text folder, char16_t sep) {
  if (!folder.empty() && !endsWithSeparator(folder))
    folder.push_back(sep);
  return folder;
}

}  // namespace

Text plotHomeFolder(Engine& e) {
  const char16_t sep = e.platform.pathSeparator();
  if (!e.plot.outputFolder.empty())
    return withSeparator(e.plot.outputFolder, sep);
  return Text(folderPart(e.platform.libraryPath()));
}

Text pictureFolder(Engine& e) {
  const char16_t sep = e.platform.pathSeparator();
  const Text home = plotHomeFolder(e);
  const Text own = home + u"Quadrel";
  return isFolder(own) ? own + sep : home;
}

Text pointsText(const double* xs, const double* ys, size_t count) {
  Text t = u"Id\tX\tY\r\n";
  for (size_t i = 0; i < count; ++i) {
    if (ys[i] == HUGE_VAL || !std::isfinite(ys[i]))
      continue;
    t.append(intText(int64_t(i)));
    t.push_back(u'\t');
    t.append(trimNumberText(fixedText(xs[i])));
    t.push_back(u'\t');
    t.append(trimNumberText(fixedText(ys[i])));
    t.append(u"\r\n");
  }
  return t;
}

bool writePointsFile(Engine& e, TextView name) {
  Text path;
  const PlotState& p = e.plot;
  const Text points = pointsText(p.xs.data(), p.ys.data(), p.xs.size());
  if (isAbsolutePath(name)) {
    if (writeUtf8File(name, points, WriteMode::Replace))
      return true;
    path = Text(name);
  } else {
    // A library folder the user cannot write (a system folder, say): the
    // user's data folder of the library takes its place.
    for (const Text& home : {plotHomeFolder(e), e.platform.userDataFolder()}) {
      if (home.empty())
        continue;
      const Text folder = home + u"otmXNpp";
      ensureFolder(folder);
      path = joinPath(folder, name, e.platform.pathSeparator());
      if (writeUtf8File(path, points, WriteMode::Replace))
        return true;
    }
  }
  e.platform.messageBox(kPlotWriteCaption, u"Error: can't write the file.\r\n" + path, BoxButtons::Ok, BoxIcon::None);
  return false;
}

Text nextPictureName(Engine& e, TextView saveMode) {
  if (saveMode.empty())
    return Text();
  const Text folder = saveMode == u"0" || saveMode == u"-1" ? pictureFolder(e)
                                                            : withSeparator(Text(saveMode), e.platform.pathSeparator());
  const int32_t n = ++e.plot.pictureCounter;
  Text number = intText(n);
  if (n >= 0 && n < 10)
    number.insert(number.begin(), u'0');
  return folder + u"aPlotNr_" + number + u".jpg";
}

}  // namespace quadrel
