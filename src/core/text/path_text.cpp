#include "core/text/path_text.h"

#include <vector>

namespace quadrel {

namespace {

// A name whose second character is ":" starts with a drive.
bool hasDrive(TextView path) { return path.size() >= 2 && path[1] == u':'; }

}  // namespace

bool isAbsolutePath(TextView path) { return hasDrive(path) || (!path.empty() && isPathSeparator(path[0])); }

bool endsWithSeparator(TextView path) { return !path.empty() && isPathSeparator(path.back()); }

TextView folderPart(TextView path) {
  const size_t last = path.find_last_of(u"\\/");
  return last == TextView::npos ? TextView() : path.substr(0, last + 1);
}

Text normalizePath(TextView path, char16_t separator) {
  // The root: a drive, the separators of a network path or a single one.
  Text root;
  size_t at = 0;
  if (hasDrive(path)) {
    root.assign(path.substr(0, 2));
    at = 2;
  }
  if (at < path.size() && isPathSeparator(path[at])) {
    root.push_back(separator);
    ++at;
    if (root.size() == 1 && at < path.size() && isPathSeparator(path[at])) {
      root.push_back(separator);
      ++at;
    }
  }
  const bool rooted = !root.empty() && isPathSeparator(root.back());

  std::vector<TextView> parts;
  while (at <= path.size()) {
    size_t end = at;
    while (end < path.size() && !isPathSeparator(path[end])) ++end;
    const TextView part = path.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part == u".")
      continue;
    if (part == u"..") {
      if (!parts.empty() && parts.back() != u"..") {
        parts.pop_back();
        continue;
      }
      if (rooted)
        continue;  // nothing lies above the root
    }
    parts.push_back(part);
  }

  Text r = root;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k > 0)
      r.push_back(separator);
    r.append(parts[k]);
  }
  if (endsWithSeparator(path) && !parts.empty())
    r.push_back(separator);
  return r;
}

Text joinPath(TextView folder, TextView name, char16_t separator) {
  Text r(folder);
  if (!r.empty() && !endsWithSeparator(r))
    r.push_back(separator);
  r.append(name);
  return r;
}

}  // namespace quadrel
