#include "core/text/text_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/text/file_path.h"

namespace quadrel {

bool readFileBytes(TextView path, std::string& bytes) {
  const std::optional<std::filesystem::path> p = filePathOf(path);
  if (!p)
    return false;
  std::error_code ec;
  if (std::filesystem::is_directory(*p, ec))
    return false;
  std::ifstream in(*p, std::ios::binary);
  if (!in)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool writeFileBytes(TextView path, std::string_view bytes, WriteMode mode) {
  const std::optional<std::filesystem::path> p = filePathOf(path);
  if (!p)
    return false;
  std::ofstream out;
  switch (mode) {
    case WriteMode::Replace: out.open(*p, std::ios::binary | std::ios::trunc); break;
    case WriteMode::Append: out.open(*p, std::ios::binary | std::ios::app); break;
    case WriteMode::AppendExisting:
      // in|out opens without creating: a missing file is a failure here.
      out.open(*p, std::ios::binary | std::ios::in | std::ios::out);
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
