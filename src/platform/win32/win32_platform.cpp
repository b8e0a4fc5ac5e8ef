#include "platform/win32/win32_platform.h"

#include <windows.h>
// windows.h first: the dialog and path headers build on it.
#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/win32/win32_plot_window.h"
#include "platform/win32/window_class.h"

namespace quadrel {

namespace {

std::wstring wide(TextView t) { return std::wstring(t.begin(), t.end()); }
const wchar_t* wz(const std::wstring& s) { return s.c_str(); }

HINSTANCE instance() { return static_cast<HINSTANCE>(libraryModule()); }

const wchar_t kMessagesClass[] = L"QuadrelMessagesWindow";
const wchar_t kInputClass[] = L"QuadrelInputBox";
// The list of the messages window: below its label, 5 pixels from the edges.
constexpr int kListMargin = 5;
constexpr int kListTop = 25;

// The messages and progress windows: the host (when there is one) hears of
// their end, and the list fills the messages window as it is resized.
LRESULT CALLBACK plainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  const auto* host = reinterpret_cast<const HostWindows*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_SIZE) {
    if (HWND list = FindWindowExW(hwnd, nullptr, L"LISTBOX", nullptr))
      MoveWindow(list, kListMargin, kListTop, LOWORD(lp) - 2 * kListMargin, HIWORD(lp) - kListTop - kListMargin, TRUE);
  }
  if (msg == WM_DESTROY && host)
    host->closed(hwnd);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HFONT courierFont() {
  static HFONT font = nullptr;
  if (!font) {
    HDC dc = GetDC(nullptr);
    int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
  }
  return font;
}

// State of the one input box that can be open at a time.
struct InputBoxState {
  HWND edit = nullptr;
  bool done = false;
  bool ok = false;
  std::wstring answer;
};
InputBoxState* gInput = nullptr;

LRESULT CALLBACK inputWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (gInput) {
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
      gInput->ok = LOWORD(wp) == IDOK;
      if (gInput->ok) {
        int n = GetWindowTextLengthW(gInput->edit);
        std::wstring s(size_t(n) + 1, L'\0');
        GetWindowTextW(gInput->edit, s.data(), n + 1);
        s.resize(size_t(n));
        gInput->answer = s;
      }
      gInput->done = true;
      return 0;
    }
    if (msg == WM_CLOSE) {
      gInput->done = true;
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

constexpr int kInputWidth = 380;
constexpr int kInputHeight = 150;

// The top-left corner that centres a window of this size on the owner's
// top-level window (on the screen without one), kept inside the owner's
// monitor's work area.
POINT centredOn(HWND owner, int width, int height) {
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(top, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT area = monitor.rcWork;
  RECT around = area;
  if (top && !IsIconic(top))
    GetWindowRect(top, &around);
  LONG x = (around.left + around.right - width) / 2;
  LONG y = (around.top + around.bottom - height) / 2;
  x = x > area.right - width ? area.right - width : x;
  x = x < area.left ? area.left : x;
  y = y > area.bottom - height ? area.bottom - height : y;
  y = y < area.top ? area.top : y;
  return POINT{x, y};
}

}  // namespace

void* libraryModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&libraryModule), &module);
  return module;
}

int Win32Platform::messageBox(TextView caption, TextView text, BoxButtons buttons, BoxIcon icon) {
  UINT flags = MB_OK;
  switch (buttons) {
    case BoxButtons::Ok: flags = MB_OK; break;
    case BoxButtons::OkCancel: flags = MB_OKCANCEL; break;
    case BoxButtons::YesNo: flags = MB_YESNO; break;
    case BoxButtons::YesNoCancel: flags = MB_YESNOCANCEL; break;
  }
  switch (icon) {
    case BoxIcon::None: break;
    case BoxIcon::Information: flags |= MB_ICONINFORMATION; break;
    case BoxIcon::Exclamation: flags |= MB_ICONEXCLAMATION; break;
    case BoxIcon::Question: flags |= MB_ICONQUESTION; break;
    case BoxIcon::Error: flags |= MB_ICONERROR; break;
  }
  std::wstring c = wide(caption), t = wide(text);
  return MessageBoxW(GetActiveWindow(), wz(t), wz(c), flags | MB_SETFOREGROUND);
}

bool Win32Platform::inputBox(TextView caption, TextView prompt, TextView defaultText, Text& answer) {
  if (gInput)
    return false;  // one input box at a time
  registerWindowClass(kInputClass, inputWindowProc);
  std::wstring c = wide(caption), p = wide(prompt), d = wide(defaultText);
  HWND owner = GetActiveWindow();
  const POINT at = centredOn(owner, kInputWidth, kInputHeight);
  HWND box = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kInputClass, wz(c),
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, at.x, at.y, kInputWidth, kInputHeight,
                             owner, nullptr, instance(), nullptr);
  if (!box)
    return false;
  InputBoxState state;
  gInput = &state;
  CreateWindowExW(0, L"STATIC", wz(p), WS_CHILD | WS_VISIBLE, 10, 10, 350, 20, box, nullptr, instance(), nullptr);
  state.edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", wz(d), WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                               10, 35, 350, 22, box, nullptr, instance(), nullptr);
  CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 190, 70, 80, 25, box,
                  reinterpret_cast<HMENU>(IDOK), instance(), nullptr);
  CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 280, 70, 80, 25, box,
                  reinterpret_cast<HMENU>(IDCANCEL), instance(), nullptr);
  SetFocus(state.edit);
  SendMessageW(state.edit, EM_SETSEL, 0, -1);
  if (owner)
    EnableWindow(owner, FALSE);
  MSG msg;
  while (!state.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
      SendMessageW(box, WM_COMMAND, msg.wParam == VK_RETURN ? IDOK : IDCANCEL, 0);
      continue;
    }
    if (!IsDialogMessageW(box, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner)
    EnableWindow(owner, TRUE);
  DestroyWindow(box);
  gInput = nullptr;
  if (state.ok)
    answer = Text(state.answer.begin(), state.answer.end());
  return state.ok;
}

Text Win32Platform::openFileDialog(TextView title, TextView filter, TextView folder) {
  // The filter arrives as "Text|*.txt|All|*.*": the dialog wants zeros.
  std::wstring f = wide(filter);
  for (auto& ch : f)
    if (ch == L'|')
      ch = L'\0';
  f.push_back(L'\0');
  std::wstring t = wide(title);
  wchar_t name[MAX_PATH * 4] = {0};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = f.c_str();
  ofn.lpstrFile = name;
  ofn.nMaxFile = sizeof name / sizeof name[0];
  ofn.lpstrTitle = t.c_str();
  const std::wstring start = wide(folder);
  if (!start.empty())
    ofn.lpstrInitialDir = start.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&ofn))
    return Text();
  std::wstring r(name);
  return Text(r.begin(), r.end());
}

void Win32Platform::setClipboardText(TextView text) {
  if (!OpenClipboard(nullptr))
    return;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (mem) {
    auto* p = static_cast<wchar_t*>(GlobalLock(mem));
    for (size_t i = 0; i < text.size(); ++i) p[i] = wchar_t(text[i]);
    p[text.size()] = 0;
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_UNICODETEXT, mem))
      GlobalFree(mem);
  }
  CloseClipboard();
}

Text Win32Platform::clipboardText() {
  Text r;
  if (!OpenClipboard(nullptr))
    return r;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      for (; *p; ++p) r.push_back(char16_t(*p));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return r;
}

void Win32Platform::debugOutput(TextView text) {
  std::wstring t = wide(text);
  OutputDebugStringW(t.c_str());
}

LocalTime Win32Platform::localTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

uint64_t Win32Platform::tickMs() { return GetTickCount64(); }

Text Win32Platform::libraryPath() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(instance(), path, sizeof path / sizeof path[0]);
  return Text(path, path + n);
}

Text Win32Platform::tempFolder() {
  wchar_t path[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, path);
  return Text(path, path + n);
}

bool Win32Platform::fileVersion(TextView path, uint16_t fileVersion[4], uint16_t productVersion[4]) {
  std::wstring file = path.empty() ? wide(libraryPath()) : wide(path);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0)
    return false;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) {
    std::wstring msg = std::to_wstring(GetLastError());
    MessageBoxW(nullptr, msg.c_str(), L"", MB_OK);
    return false;
  }
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
    return false;
  fileVersion[0] = HIWORD(info->dwFileVersionMS), fileVersion[1] = LOWORD(info->dwFileVersionMS);
  fileVersion[2] = HIWORD(info->dwFileVersionLS), fileVersion[3] = LOWORD(info->dwFileVersionLS);
  productVersion[0] = HIWORD(info->dwProductVersionMS), productVersion[1] = LOWORD(info->dwProductVersionMS);
  productVersion[2] = HIWORD(info->dwProductVersionLS), productVersion[3] = LOWORD(info->dwProductVersionLS);
  return true;
}

bool Win32Platform::fileModifiedTime(TextView path, LocalTime& out) {
  std::wstring file = wide(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data))
    return false;
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &st))
    return false;
  out = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
  return true;
}

Text Win32Platform::ansiToText(std::string_view bytes) {
  if (bytes.empty())
    return Text();
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring w(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), w.data(), n);
  return Text(w.begin(), w.end());
}

std::string Win32Platform::textToAnsi(TextView text) {
  if (text.empty())
    return std::string();
  std::wstring w = wide(text);
  int n = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

int Win32Platform::pumpMessages() {
  int count = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++count;
  }
  return count;
}

void Win32Platform::sleepMs(int ms) { Sleep(DWORD(ms)); }

void Win32Platform::messagesWindowAdd(TextView line) {
  HWND window = static_cast<HWND>(messagesWindow_);
  if (!window || !IsWindow(window)) {
    registerWindowClass(kMessagesClass, plainWindowProc);
    // 610 x 350 of client area; the list fills it below the label, so a
    // report's lines are seen whole (and follow the window when resized).
    constexpr int kWidth = 610, kHeight = 350;
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_VISIBLE;
    RECT frame{0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, style, FALSE);
    window =
        CreateWindowExW(0, kMessagesClass, L"Quadrel Plugin for Notepad++", style, 0, 195, frame.right - frame.left,
                        frame.bottom - frame.top, static_cast<HWND>(host.owner), nullptr, instance(), &host);
    HWND label = CreateWindowExW(0, L"STATIC", L"Messages Window", WS_CHILD | WS_VISIBLE, 5, 10, 100, 15, window,
                                 nullptr, instance(), nullptr);
    // The dialog font keeps the label's text inside its 100 x 15 box.
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, kListMargin,
                                kListTop, kWidth - 2 * kListMargin, kHeight - kListTop - kListMargin, window, nullptr,
                                instance(), nullptr);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(courierFont()), TRUE);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 2000, 0);
    messagesWindow_ = window;
    messagesList_ = list;
    host.opened(window);
  }
  std::wstring t = wide(line);
  SendMessageW(static_cast<HWND>(messagesList_), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

void Win32Platform::messagesWindowReset() {
  messagesWindow_ = nullptr;
  messagesList_ = nullptr;
}

void Win32Platform::progressShow(TextView text) {
  HWND window = static_cast<HWND>(progressWindow_);
  if (!window || !IsWindow(window)) {
    registerWindowClass(kMessagesClass, plainWindowProc);
    // A 200 x 50 client area with the text at (5, 25), 10 narrower and 30
    // lower than the window, so the caption never hides it.
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    RECT frame{0, 0, 200, 50};
    AdjustWindowRect(&frame, style, FALSE);
    window =
        CreateWindowExW(0, kMessagesClass, L"Quadrel Plugin for Notepad++", style, 0, 195, frame.right - frame.left,
                        frame.bottom - frame.top, static_cast<HWND>(host.owner), nullptr, instance(), &host);
    host.opened(window);
    progressText_ =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 5, 25, 190, 20, window, nullptr, instance(), nullptr);
    progressWindow_ = window;
  }
  std::wstring t = wide(text);
  SetWindowTextW(static_cast<HWND>(progressText_), t.c_str());
  pumpMessages();
}

void Win32Platform::progressClose() {
  if (progressWindow_ && IsWindow(static_cast<HWND>(progressWindow_)))
    DestroyWindow(static_cast<HWND>(progressWindow_));
  progressWindow_ = nullptr;
  progressText_ = nullptr;
}

std::unique_ptr<PlotWindow> Win32Platform::openPlotWindow(int slot, TextView title, PlotWindow* previous) {
  return openWin32PlotWindow(slot, title, previous, host);
}

}  // namespace quadrel
