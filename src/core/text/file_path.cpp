#include "core/text/file_path.h"

namespace quadrel {

namespace {

constexpr bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

[[maybe_unused]] bool hasLoneSurrogate(TextView s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (isHighSurrogate(s[i]) && i + 1 < s.size() && isLowSurrogate(s[i + 1]))
      ++i;
    else if (isHighSurrogate(s[i]) || isLowSurrogate(s[i]))
      return true;
  }
  return false;
}

}  // namespace

std::optional<std::filesystem::path> filePathOf(TextView name) {
  if (name.empty())
    return std::nullopt;
#if defined(_WIN32)
  // wchar_t is a UTF-16 unit here: the system takes the name as it is.
  return std::filesystem::path(std::wstring(name.begin(), name.end()));
#else
  // The native form is bytes: built from a byte string, nothing is converted.
  if (hasLoneSurrogate(name))
    return std::nullopt;
  return std::filesystem::path(toUtf8(name));
#endif
}

Text textOfFilePath(const std::filesystem::path& path) {
#if defined(_WIN32)
  const std::wstring& w = path.native();
  return Text(w.begin(), w.end());
#else
  return fromUtf8(path.native());
#endif
}

}  // namespace quadrel
