#include "file_io.h"

#include <windows.h>

#include "text_util.h"

namespace host {

bool readFile(const std::wstring& path, std::string& bytes) {
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE)
    return false;
  bytes.clear();
  char buffer[8192];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(f);
  return true;
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == bytes.size();
}

std::string fileText(const std::string& bytes) {
  if (startsWith(bytes, "\xFF\xFE"))
    return narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2));
  if (startsWith(bytes, "\xEF\xBB\xBF"))
    return bytes.substr(3);
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0) > 0 ||
      bytes.empty())
    return bytes;
  return narrow(fromCodePage(bytes, 0));
}

}  // namespace host
