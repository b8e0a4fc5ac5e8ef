#include "exports/export_support.h"

#include <algorithm>

#if defined(_WIN32)
#include "platform/win32/win32_platform.h"
#else
#include "platform/headless/headless_platform.h"
#include "platform/headless/linux_names.h"
#endif

namespace quadrel {

LibraryState& library() {
#if defined(_WIN32)
  static Win32Platform platform;
#else
  // Boxes answer themselves and nothing shown is kept.
  static struct LibraryPlatform : HeadlessPlatform {
    LibraryPlatform() { keepRecords = false; }
    ProductNames productNames() const override { return linuxLibraryNames(); }
  } platform;
#endif
  static Engine engine(platform);
  static LibraryState state{engine, {}, {}, {}, {}, {}, {}};
  return state;
}

std::recursive_mutex& libraryLock() {
  static std::recursive_mutex lock;
  return lock;
}

int32_t copyOut(qd_char* buffer, int64_t count, TextView text) {
  if (!buffer || count <= 0)
    return 0;
  const size_t n = std::min<size_t>(size_t(count), text.size());
  char16_t* dst = reinterpret_cast<char16_t*>(buffer);
  std::copy_n(text.data(), n, dst);
  dst[n] = 0;
  return clampToInt32(n);
}

}  // namespace quadrel
