/* Loading the library under test, shared by the ABI test programs: the
 * DLL with LoadLibraryW on Windows, the shared object with dlopen elsewhere. */
#ifndef QUADREL_ABI_LIBRARY_H
#define QUADREL_ABI_LIBRARY_H

#include <stdio.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

typedef void (*any_fn)(void);
_Static_assert(sizeof(any_fn) == sizeof(void*), "function and object pointers differ in size");

#if defined(_WIN32)
static HMODULE library;
static any_fn symbol(const char* name) { return (any_fn)GetProcAddress(library, name); }
static int open_library(const char* path) {
  wchar_t wide[1024];
  if (!MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, 1024)) return 0;
  library = LoadLibraryW(wide);
  if (!library) printf("LoadLibraryW(%s) failed: error %lu\n", path, (unsigned long)GetLastError());
  return library != NULL;
}
#define DEFAULT_LIBRARY "Quadrel.dll"
#else
static void* library;
static any_fn symbol(const char* name) {
  /* dlsym answers an object pointer; copy its bits into a function pointer. */
  void* address = dlsym(library, name);
  any_fn fn;
  memcpy(&fn, &address, sizeof fn);
  return fn;
}
static int open_library(const char* path) {
  library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!library) printf("dlopen(%s) failed: %s\n", path, dlerror());
  return library != NULL;
}
#define DEFAULT_LIBRARY "libquadrel.so"
#endif

#endif
