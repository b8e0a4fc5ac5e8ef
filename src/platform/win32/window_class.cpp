#include "platform/win32/window_class.h"

#include "platform/win32/win32_platform.h"

namespace quadrel {

void registerWindowClass(const wchar_t* name, WNDPROC proc) {
  const HINSTANCE instance = static_cast<HINSTANCE>(libraryModule());
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc))
    return;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace quadrel
