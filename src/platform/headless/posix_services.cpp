#include "platform/headless/posix_services.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/text/file_path.h"

namespace quadrel::posix {

namespace {

// Windows-1252 for the bytes 0x80..0x9F; the other bytes are Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

LocalTime fromTm(const std::tm& tm) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

LocalTime localTimeNow() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return fromTm(tm);
}

uint64_t steadyTickMs() {
  using namespace std::chrono;
  return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Text temporaryFolder() {
  const char* t = std::getenv("TMPDIR");
  Text dir = fromUtf8(t && *t ? t : "/tmp");
  if (dir.back() != u'/')
    dir.push_back(u'/');
  return dir;
}

void builtVersion(uint16_t fileVersion[4], uint16_t productVersion[4]) {
  const uint16_t v[4] = {QUADREL_VERSION_MAJOR, QUADREL_VERSION_MINOR, QUADREL_VERSION_PATCH, QUADREL_VERSION_TWEAK};
  for (int k = 0; k < 4; ++k) fileVersion[k] = productVersion[k] = v[k];
}

bool fileModifiedTime(TextView path, LocalTime& out) {
  const std::optional<std::filesystem::path> p = filePathOf(path);
  struct stat st {};
  if (!p || stat(p->c_str(), &st) != 0)
    return false;
  std::tm tm{};
  std::time_t t = st.st_mtime;
  localtime_r(&t, &tm);
  out = fromTm(tm);
  return true;
}

Text cp1252ToText(std::string_view bytes) {
  Text r;
  r.reserve(bytes.size());
  for (unsigned char c : bytes) r.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char16_t(c));
  return r;
}

std::string textToCp1252(TextView text) {
  std::string r;
  r.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      r.push_back(char(c));
      continue;
    }
    char out = '?';
    for (int k = 0; k < 32; ++k)
      if (kCp1252High[k] == c)
        out = char(0x80 + k);
    r.push_back(out);
  }
  return r;
}

Text ownModuleFile() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&ownModuleFile), &info) == 0 || !info.dli_fname)
    return Text();
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(info.dli_fname, ec);
  return ec ? fromUtf8(info.dli_fname) : fromUtf8(file.string());
}

Text userDataFolder() {
  // XDG_DATA_HOME counts only when it is an absolute path.
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/')
    return fromUtf8(data) + u"/quadrel/";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/')
    return fromUtf8(home) + u"/.local/share/quadrel/";
  return Text();
}

}  // namespace quadrel::posix
