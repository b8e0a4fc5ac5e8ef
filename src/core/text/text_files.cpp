#include "core/text/text_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quadrel {

namespace {

std::filesystem::path pathOf(TextView path) { return std::filesystem::path(std::u16string(path)); }

}  // namespace

bool readFileBytes(TextView path, std::string& bytes) {
  if (path.empty())
    return false;
  const std::filesystem::path p = pathOf(path);
  std::error_code ec;
  if (std::filesystem::is_directory(p, ec))
    return false;
  std::ifstream in(p, std::ios::binary);
  if (!in)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool writeFileBytes(TextView path, std::string_view bytes, WriteMode mode) {
  if (path.empty())
    return false;
  const std::filesystem::path p = pathOf(path);
  std::ofstream out;
  switch (mode) {
    case WriteMode::Replace: out.open(p, std::ios::binary | std::ios::trunc); break;
    case WriteMode::Append: out.open(p, std::ios::binary | std::ios::app); break;
    case WriteMode::AppendExisting:
      // in|out opens without creating: a missing file is a failure here.
      out.open(p, std::ios::binary | std::ios::in | std::ios::out);
      if (out)
        out.seekp(0, std::ios::end);
      break;
  }
  if (!out)
    return false;
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.flush();
  return bool(out);
}

}  // namespace quadrel
