#include "core/text/text_files.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/text/file_path.h"

namespace quadrel {

FileRead readFileBytes(TextView path, std::string& bytes, uint64_t limit) {
  bytes.clear();
  const std::optional<std::filesystem::path> p = filePathOf(path);
  if (!p)
    return FileRead::OpenFailed;
  std::error_code ec;
  if (std::filesystem::is_directory(*p, ec))
    return FileRead::OpenFailed;
  std::ifstream in(*p, std::ios::binary);
  if (!in)
    return FileRead::OpenFailed;
  // Chunks up to one byte past the limit: the size a file claims is not
  // trusted (devices and pipes claim none).
  char chunk[1 << 16];
  while (in) {
    in.read(chunk, sizeof chunk);
    bytes.append(chunk, size_t(in.gcount()));
    if (bytes.size() > limit) {
      bytes.clear();
      bytes.shrink_to_fit();
      return FileRead::TooLarge;
    }
  }
  return in.bad() ? FileRead::OpenFailed : FileRead::Ok;
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
