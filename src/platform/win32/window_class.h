// Window classes of the library's own windows (messages window, input box,
// plot windows), registered with the DLL's module handle.
#pragma once

#include <windows.h>

namespace quadrel {

// Registers the class name with the window procedure proc, once: a class
// already registered by an earlier window stays as it is.
void registerWindowClass(const wchar_t* name, WNDPROC proc);

}  // namespace quadrel
