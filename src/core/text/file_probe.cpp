#include "core/text/file_probe.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/text/file_path.h"

namespace quadrel {

namespace fs = std::filesystem;

namespace {

bool endsWithIgnoreCase(TextView s, TextView tail) {
  return s.size() >= tail.size() && equalsIgnoreCase(s.substr(s.size() - tail.size()), tail);
}

bool canOpen(const fs::path& p) {
  std::error_code ec;
  if (!fs::is_regular_file(p, ec))
    return false;
  std::ifstream in(p, std::ios::binary);
  return in.is_open();
}

// Creates the file and removes it again; true when the creation worked.
bool canCreate(const fs::path& p) {
  std::error_code ec;
  if (fs::exists(p, ec))
    return false;
  bool created = false;
  {
    std::ofstream out(p, std::ios::binary);
    created = out.is_open();
  }
  if (created)
    fs::remove(p, ec);
  return created;
}

}  // namespace

int32_t fileAttributes(TextView path) {
  const std::optional<fs::path> p = filePathOf(path);
  if (!p)
    return kAttrNone;
  std::error_code ec;
  const fs::file_status st = fs::status(*p, ec);
  if (ec || !fs::exists(st))
    return kAttrNone;
  if (fs::is_directory(st))
    return kAttrDirectory;
  int32_t bits = kAttrArchive;
  if ((st.permissions() & fs::perms::owner_write) == fs::perms::none)
    bits |= kAttrReadOnly;
  return bits;
}

bool isFolder(TextView path) {
  const int32_t a = fileAttributes(path);
  return a != kAttrNone && (a & kAttrDirectory) != 0;
}

int32_t fileAttr(TextView name, int32_t mask, bool probe) {
  const int32_t attributes = fileAttributes(name);
  if (mask == -1)
    return attributes;
  if (attributes != kAttrNone && (attributes & mask) != 0)
    return attributes;
  if (probe && mask == 0) {
    if (const std::optional<fs::path> p = filePathOf(name)) {
      if (canOpen(*p))
        return kAttrOpenable;
      if (canCreate(*p))
        return kAttrCreatable;
    }
  }
  return kAttrNone;
}

bool removeFile(TextView path) {
  const std::optional<fs::path> p = filePathOf(path);
  if (!p)
    return false;
  std::error_code ec;
  if (!fs::is_regular_file(*p, ec))
    return false;
  return fs::remove(*p, ec);
}

int removeFilesWithExtension(TextView folder, TextView extension) {
  return removeFilesMatching(folder, u"", extension);
}

int removeFilesMatching(TextView folder, TextView prefix, TextView extension) {
  const std::optional<fs::path> p = filePathOf(folder);
  if (!p)
    return 0;
  std::error_code ec;
  fs::directory_iterator it(*p, ec), end;
  int removed = 0;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc))
      continue;
    const Text name = textOfFilePath(it->path().filename());
    const bool prefixed =
        name.size() >= prefix.size() && equalsIgnoreCase(TextView(name).substr(0, prefix.size()), prefix);
    if (prefixed && endsWithIgnoreCase(name, extension) && fs::remove(it->path(), fileEc))
      ++removed;
  }
  return removed;
}

bool ensureFolder(TextView path) {
  const std::optional<fs::path> p = filePathOf(path);
  if (!p)
    return false;
  std::error_code ec;
  fs::create_directories(*p, ec);
  return fs::is_directory(*p, ec);
}

}  // namespace quadrel
