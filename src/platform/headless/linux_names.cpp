#include "platform/headless/linux_names.h"

#ifndef QUADREL_BUILD_DATE
#define QUADREL_BUILD_DATE "unknown date"
#endif

namespace quadrel {

namespace {

#define QUADREL_WIDEN2(x) u##x
#define QUADREL_WIDEN(x) QUADREL_WIDEN2(x)
constexpr char16_t kBuildDate[] = QUADREL_WIDEN(QUADREL_BUILD_DATE);

}  // namespace

TextView buildDate() { return kBuildDate; }

ProductNames linuxProgramNames() {
  ProductNames n;
  n.nameLine = u"Program name: quadrel (formula and script calculator)";
  n.build = kBuildDate;
  n.library = u"quadrel";
  n.webPage = TextView();
  n.unsavedPlot = u"(no picture: quadrel --plots DIR saves plots as pictures)";
  return n;
}

ProductNames linuxLibraryNames() {
  ProductNames n;
  n.nameLine = u"Library name: libquadrel.so (formula and script calculator library)";
  n.build = kBuildDate;
  n.library = u"libquadrel.so";
  n.webPage = TextView();
  // Callers of the library get a plot's result as the plug-in gives it.
  return n;
}

}  // namespace quadrel
