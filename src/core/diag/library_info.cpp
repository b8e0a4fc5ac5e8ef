// The version and about texts of the library (declared in debug_log.h).
#include "core/diag/debug_log.h"
#include "core/engine.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

void appendTwoDigits(Text& out, int v) {
  out.push_back(char16_t(u'0' + (v / 10) % 10));
  out.push_back(char16_t(u'0' + v % 10));
}

Text versionText(const uint16_t v[4]) {
  Text r;
  for (int k = 0; k < 4; ++k) {
    if (k)
      r.push_back(u'.');
    r.append(intText(v[k]));
  }
  return r;
}

}  // namespace

Text dateTimeText(const LocalTime& t, TextView between) {
  Text r;
  appendTwoDigits(r, t.day);
  r.push_back(u'/');
  appendTwoDigits(r, t.month);
  r.push_back(u'/');
  Text year = intText(t.year);
  if (year.size() < 4)
    year.insert(0, 4 - year.size(), u'0');
  r.append(year);
  r.append(between);
  appendTwoDigits(r, t.hour);
  r.push_back(u':');
  appendTwoDigits(r, t.minute);
  r.push_back(u':');
  appendTwoDigits(r, t.second);
  return r;
}

bool fileVersionText(Engine& e, TextView path, Text& fileVersion, Text& productVersion) {
  uint16_t file[4] = {0, 0, 0, 0}, product[4] = {0, 0, 0, 0};
  if (!e.platform.fileVersion(path, file, product))
    return false;
  fileVersion = versionText(file);
  productVersion = versionText(product);
  return true;
}

bool libraryVersion(Engine& e, Text& fileVersion, Text& productVersion) {
  return fileVersionText(e, TextView(), fileVersion, productVersion);
}

Text aboutText(Engine& e, bool returnOnly) {
  const Text library(e.platform.productNames().library);
  const Text caption = u"About " + library;
  Text version, product;
  libraryVersion(e, version, product);
  // The time of the library file itself; a file that cannot be read shows
  // the start of 1970, as a missing file's time would.
  LocalTime fileTime;
  if (!e.platform.fileModifiedTime(e.platform.libraryPath(), fileTime))
    fileTime = LocalTime();

  Text text = u"Library: " + library;
  text.append(u"\r\nVersion: ").append(version);
  text.append(u"\r\nFileTime: ").append(dateTimeText(fileTime, u" "));
  text.append(u"\r\nMaker: the Quadrel team");
  text.append(u"\r\nScope: a DLL library for numerical calculations (methods)");
  text.append(u"\r\nInfo: see file Readme.txt and License.txt");
  text.append(u"\r\n\r\n");

  if (returnOnly) {
    Text withCaption = caption;
    withCaption.append(u"\r\n\r\n").append(text);
    e.diag.aboutText = std::move(withCaption);
  } else {
    e.platform.messageBox(caption, text, BoxButtons::Ok, BoxIcon::Information);
    e.diag.aboutText = std::move(text);
  }
  return e.diag.aboutText;
}

}  // namespace quadrel
