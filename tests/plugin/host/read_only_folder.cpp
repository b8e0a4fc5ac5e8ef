#include "read_only_folder.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace host {

namespace {

std::wstring gFolder;
int gRefused = 0;

bool inFolder(const wchar_t* path) {
  if (!path || gFolder.empty())
    return false;
  wchar_t full[MAX_PATH * 4] = {0};
  const DWORD n = GetFullPathNameW(path, MAX_PATH * 4, full, nullptr);
  if (n == 0 || n >= MAX_PATH * 4 || n < gFolder.size())
    return false;
  return CompareStringOrdinal(full, int(gFolder.size()), gFolder.c_str(), int(gFolder.size()), TRUE) == CSTR_EQUAL;
}

bool refuse(const wchar_t* path) {
  if (!inFolder(path))
    return false;
  ++gRefused;
  return true;
}

bool writingMode(const wchar_t* mode) { return mode && (std::wcspbrk(mode, L"wa+") != nullptr); }

bool writingFlags(int flags) { return (flags & (_O_WRONLY | _O_RDWR | _O_CREAT | _O_APPEND | _O_TRUNC)) != 0; }

HANDLE WINAPI createFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                          DWORD flags, HANDLE tmpl) {
  const bool writes = (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE)) ||
                      (disposition != OPEN_EXISTING && GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES) ||
                      (flags & FILE_FLAG_DELETE_ON_CLOSE);
  if (writes && refuse(name)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(name, access, share, sa, disposition, flags, tmpl);
}

BOOL WINAPI writePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file) {
  if (section && refuse(file)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return WritePrivateProfileStringW(section, key, value, file);
}

BOOL WINAPI createDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES sa) {
  if (refuse(name)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return CreateDirectoryW(name, sa);
}

BOOL WINAPI deleteFileW(LPCWSTR name) {
  if (refuse(name)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return DeleteFileW(name);
}

BOOL WINAPI copyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
  if (refuse(to)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return CopyFileW(from, to, failIfExists);
}

FILE* __cdecl wfopen(const wchar_t* name, const wchar_t* mode) {
  if (writingMode(mode) && refuse(name)) {
    errno = EACCES;
    return nullptr;
  }
  return _wfopen(name, mode);
}

FILE* __cdecl wfsopen(const wchar_t* name, const wchar_t* mode, int share) {
  if (writingMode(mode) && refuse(name)) {
    errno = EACCES;
    return nullptr;
  }
  return _wfsopen(name, mode, share);
}

int __cdecl wopen(const wchar_t* name, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const int mode = (flags & _O_CREAT) ? va_arg(args, int) : 0;
  va_end(args);
  if (writingFlags(flags) && refuse(name)) {
    errno = EACCES;
    return -1;
  }
  return _wopen(name, flags, mode);
}

int __cdecl wsopen(const wchar_t* name, int flags, int share, ...) {
  va_list args;
  va_start(args, share);
  const int mode = (flags & _O_CREAT) ? va_arg(args, int) : 0;
  va_end(args);
  if (writingFlags(flags) && refuse(name)) {
    errno = EACCES;
    return -1;
  }
  return _wsopen(name, flags, share, mode);
}

struct Redirect {
  const char* name;
  void* to;
};

const Redirect kRedirects[] = {
    {"CreateFileW", reinterpret_cast<void*>(&createFileW)},
    {"WritePrivateProfileStringW", reinterpret_cast<void*>(&writePrivateProfileStringW)},
    {"CreateDirectoryW", reinterpret_cast<void*>(&createDirectoryW)},
    {"DeleteFileW", reinterpret_cast<void*>(&deleteFileW)},
    {"CopyFileW", reinterpret_cast<void*>(&copyFileW)},
    {"_wfopen", reinterpret_cast<void*>(&wfopen)},
    {"_wfsopen", reinterpret_cast<void*>(&wfsopen)},
    {"_wopen", reinterpret_cast<void*>(&wopen)},
    {"_wsopen", reinterpret_cast<void*>(&wsopen)},
};

}  // namespace

bool refuseWritesInto(HMODULE plugin, const std::wstring& folder, std::string& error) {
  gFolder = folder;
  auto* base = reinterpret_cast<BYTE*>(plugin);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) {
    error = "the plug-in has no import table";
    return false;
  }
  int patched = 0;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
        base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
        continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      for (const Redirect& r : kRedirects) {
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), r.name) != 0)
          continue;
        DWORD old = 0;
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
        slots->u1.Function = reinterpret_cast<ULONG_PTR>(r.to);
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        ++patched;
      }
    }
  }
  if (patched == 0) {
    error = "the plug-in imports none of the file functions to redirect";
    return false;
  }
  return true;
}

int refusedWrites() { return gRefused; }

}  // namespace host
