#include "host.h"

#include <windows.h>
// windows.h first: the dialog messages build on it.
#include <commdlg.h>

#include <algorithm>
#include <cstdio>

#include "Scintilla.h"
#include "documents.h"
#include "read_only_folder.h"
#include "text_util.h"

namespace host {

namespace {

constexpr wchar_t kMainClass[] = L"QuadrelTestHost";
constexpr wchar_t kControllerClass[] = L"QuadrelTestHostController";
constexpr UINT kBoxAppeared = WM_APP + 1;
constexpr UINT_PTR kShotTimer = 1;
constexpr int kMainViewId = 1;
constexpr int kSecondViewId = 2;

HHOOK gCbtHook = nullptr;

std::wstring windowText(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  std::wstring s(size_t(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, s.data(), n + 1);
  s.resize(size_t(got > 0 ? got : 0));
  return s;
}

std::wstring className(HWND hwnd) {
  wchar_t buffer[128] = {0};
  GetClassNameW(hwnd, buffer, 128);
  return buffer;
}

const char* buttonName(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "?";
  }
}

void layout(Host& h) {
  RECT rc;
  GetClientRect(h.main, &rc);
  const int height = rc.bottom - rc.top;
  const int secondHeight = height / 4;
  MoveWindow(h.view, 0, 0, rc.right, height - secondHeight - 4, TRUE);
  MoveWindow(h.second, 0, height - secondHeight, rc.right, secondHeight, TRUE);
}

// The view's procedure in front of Scintilla's: records call tips shown.
LRESULT CALLBACK viewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Host& h = theHost();
  if (msg == SCI_CALLTIPSHOW) {
    ++h.callTipShows;
    h.callTipPosition = intptr_t(wp);
    h.callTipBytes = lp ? reinterpret_cast<const char*>(lp) : "";
  }
  return CallWindowProcW(h.viewProc, hwnd, msg, wp, lp);
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Host& h = theHost();
  // The editor hands every message of its main window to its plug-ins.
  if (h.messageProc && h.main == hwnd)
    h.messageProc(msg, wp, lp);
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      h.commands.push_back(id);
      // The editor's File > Exit: counted, not carried out, so the scenario goes on.
      if (id == kExitCommand) {
        ++h.exitRequests;
        return 0;
      }
      const int k = id - kPluginCommandBase;
      if (lp == 0 && h.items && k >= 0 && k < h.itemCount && h.items[k].function)
        h.items[k].function();
      return 0;
    }
    case NPPM_GETCURRENTSCINTILLA:
      if (lp)
        *reinterpret_cast<int*>(lp) = h.currentView;
      return TRUE;
    case NPPM_GETFULLCURRENTPATH: {
      auto* buffer = reinterpret_cast<wchar_t*>(lp);
      if (!buffer || wp == 0)
        return FALSE;
      const size_t n = std::min(h.currentPath.size(), size_t(wp) - 1);
      std::copy_n(h.currentPath.data(), n, buffer);
      buffer[n] = 0;
      return TRUE;
    }
    case NPPM_RELOADFILE: {
      const std::wstring path = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
      h.reloads.push_back(path);
      h.reloadAlerts.push_back(wp != 0);
      // The editor reloads only a document it has open, and with an alert
      // asks first, whatever the document holds.
      if (!bufferOfPath(path))
        return FALSE;
      if (wp &&
          MessageBoxW(hwnd, L"Are you sure you want to reload the current file and lose the changes made in Notepad++?",
                      L"Reload", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return FALSE;
      return reloadDocument(path);
    }
    case NPPM_GETFULLPATHFROMBUFFERID: {
      std::wstring path;
      if (!pathOfBuffer(uintptr_t(wp), path))
        return -1;
      if (lp)
        std::copy_n(path.c_str(), path.size() + 1, reinterpret_cast<wchar_t*>(lp));
      return LRESULT(path.size());
    }
    case NPPM_MODELESSDIALOG: {
      HWND window = reinterpret_cast<HWND>(lp);
      if (wp == kModelessDialogAdd) {
        h.modeless.push_back(window);
        ++h.modelessAdds;
      } else {
        h.modeless.erase(std::remove(h.modeless.begin(), h.modeless.end(), window), h.modeless.end());
      }
      return lp;
    }
    case NPPM_DOOPEN: {
      const std::wstring path = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
      h.opens.push_back(path);
      return openDocument(path);
    }
    case NPPM_GETPLUGINSCONFIGDIR: {
      // The editor's way: without a buffer the length; with one too small FALSE.
      if (!lp)
        return LRESULT(h.configFolder.size());
      if (h.configFolder.size() >= size_t(wp))
        return FALSE;
      std::copy_n(h.configFolder.c_str(), h.configFolder.size() + 1, reinterpret_cast<wchar_t*>(lp));
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (header)
        h.notifications.push_back(header->code);
      // The editor hands its views' notifications to the plug-in too.
      if (header && h.beNotified)
        h.beNotified(const_cast<NMHDR*>(header));
      return 0;
    }
    case WM_SIZE:
      if (h.view)
        layout(h);
      return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

BOOL CALLBACK findEdit(HWND child, LPARAM lp) {
  if (lower(narrow(className(child))) != "edit" || !IsWindowVisible(child))
    return TRUE;
  *reinterpret_cast<HWND*>(lp) = child;
  return FALSE;
}

void recordBox(Host& h, HWND box) {
  BoxRecord r;
  r.stepLine = h.currentLine;
  r.caption = narrow(windowText(box));
  GetWindowRect(box, &r.rect);
  GetWindowRect(h.main, &r.mainRect);
  const bool input = className(box) == L"QuadrelInputBox";
  // A message box has its text in a static of id 0xFFFF; any other dialog
  // (the open-file dialog) is a "dialog".
  r.kind = input ? "input" : (GetDlgItem(box, 0xFFFF) ? "message" : "dialog");
  std::vector<std::pair<int, HWND>> buttons;
  HWND edit = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string cls = lower(narrow(className(child)));
    const int id = GetDlgCtrlID(child);
    if (cls == "button" && IsWindowVisible(child) && id >= IDOK && id <= IDNO)
      buttons.emplace_back(id, child);
    else if (cls == "edit" && !edit)
      edit = child;
    else if (cls == "static" && (input || id == 0xFFFF))
      r.text = narrow(windowText(child));
  }
  if (!edit)  // the file name field of a file dialog sits inside a combo box
    EnumChildWindows(box, findEdit, reinterpret_cast<LPARAM>(&edit));
  if (r.kind == "dialog") {
    // The file type list (cmb1) and the folder the dialog shows.
    if (HWND types = GetDlgItem(box, 0x470))
      r.filter = narrow(windowText(types));
    wchar_t folder[MAX_PATH * 2] = {0};
    if (SendMessageW(box, CDM_GETFOLDERPATH, MAX_PATH * 2, reinterpret_cast<LPARAM>(folder)) > 0)
      r.folder = narrow(folder);
  }
  std::sort(buttons.begin(), buttons.end(), [](auto& a, auto& b) {
    auto rank = [](int id) { return id == IDYES ? 0 : id == IDNO ? 1 : id == IDOK ? 2 : id == IDCANCEL ? 3 : 4 + id; };
    return rank(a.first) < rank(b.first);
  });
  for (auto& [id, hwnd] : buttons) r.buttons += std::string(r.buttons.empty() ? "" : " ") + buttonName(id);
  if (edit)
    r.defaultText = narrow(windowText(edit));

  // The answer: the next one queued, else the safest button there is.
  QueuedAnswer a;
  const bool okOnly = buttons.size() == 1 && buttons[0].first == IDOK;
  if (okOnly && (h.answers.empty() || h.answers.front().input || h.answers.front().button != IDOK)) {
    a.button = IDOK;  // a plain notice: OK, without using a queued answer
  } else if (!h.answers.empty()) {
    a = h.answers.front();
    h.answers.pop_front();
  } else {
    r.unexpected = true;
    a.button = IDOK;
    for (auto& [id, hwnd] : buttons)
      if (id == IDCANCEL || (id == IDNO && a.button != IDCANCEL))
        a.button = id;
  }
  if (a.input) {
    if (edit)
      SetWindowTextW(edit, widen(a.text).c_str());
    r.answer = "input " + visible(a.text);
    a.button = IDOK;
  } else {
    r.answer = buttonName(a.button);
  }
  HWND target = nullptr;
  for (auto& [id, hwnd] : buttons)
    if (id == a.button)
      target = hwnd;
  if (!target) {
    // The queued button is not in this box: note it and close the box anyway.
    r.answer += " (not in the box; closed with " +
                std::string(buttons.empty() ? "WM_CLOSE" : buttonName(buttons.back().first)) + ")";
    r.unexpected = true;
    if (buttons.empty()) {
      PostMessageW(box, WM_CLOSE, 0, 0);
    } else {
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttons.back().first, BN_CLICKED), LPARAM(buttons.back().second));
    }
  } else {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(a.button, BN_CLICKED), LPARAM(target));
  }
  h.boxes.push_back(r);
}

// Writes a request for the screenshot of one window; gives the request name.
bool requestShot(Host& h, HWND hwnd, const std::string& name) {
  const auto xid = reinterpret_cast<uintptr_t>(GetPropW(hwnd, L"__wine_x11_whole_window"));
  if (!xid) {
    h.shot.error = "window of " + name + " has no X window";
    return false;
  }
  const std::wstring path = h.shotsFolder + widen(name) + L".req";
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    h.shot.error = "cannot write " + narrow(path);
    return false;
  }
  const std::string text = std::to_string(xid) + "\n";
  DWORD written = 0;
  WriteFile(f, text.data(), DWORD(text.size()), &written, nullptr);
  CloseHandle(f);
  h.shot.pending.push_back(name);
  return true;
}

struct TopLevelSearch {
  const wchar_t* cls;
  std::vector<HWND> found;
};

BOOL CALLBACK collectTopLevel(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<TopLevelSearch*>(lp);
  if (IsWindowVisible(hwnd) && className(hwnd) == s->cls)
    s->found.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> visibleTopLevels(const wchar_t* cls) {
  TopLevelSearch search{cls, {}};
  EnumWindows(collectTopLevel, LPARAM(&search));
  return search.found;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The popup window that shows a menu, if one is open.
struct MenuProbe {
  HMENU wanted;
  HWND found;
};

BOOL CALLBACK probeMenuWindow(HWND hwnd, LPARAM lp) {
  auto* probe = reinterpret_cast<MenuProbe*>(lp);
  constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU
  if (IsWindowVisible(hwnd) && className(hwnd) == L"#32768" &&
      reinterpret_cast<HMENU>(SendMessageW(hwnd, kGetMenu, 0, 0)) == probe->wanted)
    probe->found = hwnd;
  return TRUE;
}

HWND popupOf(HMENU menu) {
  MenuProbe probe{menu, nullptr};
  if (menu)
    EnumWindows(probeMenuWindow, LPARAM(&probe));
  return probe.found;
}

void addError(Host::Shot& s, const std::string& text) { s.error += (s.error.empty() ? "" : "; ") + text; }

// Collects the answers of the watcher; true when none is outstanding.
bool capturesDone(Host& h) {
  auto& s = h.shot;
  for (auto it = s.pending.begin(); it != s.pending.end();) {
    const std::wstring base = h.shotsFolder + widen(*it);
    if (fileExists(base + L".done")) {
      s.written.push_back(*it + ".png");
      it = s.pending.erase(it);
    } else if (fileExists(base + L".fail")) {
      addError(s, "capture of " + *it + " failed");
      it = s.pending.erase(it);
    } else {
      ++it;
    }
  }
  if (!s.pending.empty() && GetTickCount() - s.started > 30000) {
    addError(s, "no capture answered (is the watcher running?)");
    s.pending.clear();
  }
  return s.pending.empty();
}

void capture(Host& h, HWND hwnd, const std::string& name) {
  if (!h.shotsFolder.empty() && hwnd)
    requestShot(h, hwnd, h.shot.name + "-" + name);
  h.shot.started = GetTickCount();
}

void finishShot(Host& h) {
  KillTimer(h.controller, kShotTimer);
  if (!h.shot.menuPath.empty())
    EndMenu();
  h.shot.active = false;
}

// One step of the menu walk: true when a step was taken or is awaited.
void menuTick(Host& h) {
  auto& s = h.shot;
  if (GetTickCount() - s.started > 15000) {
    addError(s, "the menu " + s.menuPath[std::min(s.level, s.menuPath.size()) - 1] + " did not open (or no item " +
                    (s.level < s.menuPath.size() ? s.menuPath[s.level] : std::string("?")) + ")");
    finishShot(h);
    return;
  }
  std::string error;
  HMENU current = menuByPath(std::vector<std::string>(s.menuPath.begin(), s.menuPath.begin() + long(s.level)), error);
  HWND popup = popupOf(current);
  if (!popup)
    return;  // still opening
  if (s.level == s.menuPath.size()) {
    // The last popup: let it paint, capture it and the main window, close the menus.
    if (!s.settleFrom)
      s.settleFrom = GetTickCount();
    if (GetTickCount() - s.settleFrom < 600)
      return;
    if (!s.requested) {
      capture(h, popup, "menu" + std::to_string(s.level));
      capture(h, h.main, "main");
      s.requested = true;
      return;
    }
    finishShot(h);
    return;
  }
  // Move the highlight to the wanted item (separators are skipped by the keys).
  const int n = GetMenuItemCount(current);
  int from = -1, to = -1, selectable = 0;
  for (int k = 0; k < n; ++k) {
    // (GetMenuState mixes a submenu's item count into its answer: ask for type and state.)
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(current, UINT(k), TRUE, &info);
    if (info.fType & MFT_SEPARATOR)
      continue;
    if (info.fState & MFS_HILITE)
      from = selectable;
    wchar_t buffer[256] = {0};
    GetMenuStringW(current, UINT(k), buffer, 256, MF_BYPOSITION);
    std::string text = plainCaption(buffer);
    if (text.substr(0, text.find('\t')) == s.menuPath[s.level])
      to = selectable;
    ++selectable;
  }
  if (to < 0)
    return;  // not there (yet)
  if (from != to) {
    if (!s.keysSent)
      for (int k = from; k < to; ++k) PostMessageW(h.main, WM_KEYDOWN, VK_DOWN, 0);
    s.keysSent = true;
    return;
  }
  if (!s.levelCaptured) {
    if (!s.settleFrom)
      s.settleFrom = GetTickCount();
    if (GetTickCount() - s.settleFrom < 400)
      return;
    capture(h, popup, "menu" + std::to_string(s.level));
    s.levelCaptured = true;
    return;
  }
  PostMessageW(h.main, WM_KEYDOWN, VK_RIGHT, 0);
  ++s.level;
  s.keysSent = s.levelCaptured = false;
  s.settleFrom = 0;
  s.started = GetTickCount();
}

// One tick of the screenshot in progress.
void shotTick(Host& h) {
  auto& s = h.shot;
  if (!s.active || !capturesDone(h))
    return;
  if (!s.menuPath.empty()) {
    menuTick(h);
    return;
  }
  if (!s.requested) {
    capture(h, h.main, "main");
    int k = 0;
    for (HWND tip : visibleTopLevels(L"CallTip")) capture(h, tip, "calltip" + std::to_string(++k));
    s.requested = true;
    return;
  }
  finishShot(h);
}

LRESULT CALLBACK controllerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Host& h = theHost();
  if (msg == kBoxAppeared) {
    HWND box = reinterpret_cast<HWND>(wp);
    if (IsWindow(box))
      recordBox(h, box);
    return 0;
  }
  if (msg == WM_TIMER && wp == kShotTimer) {
    shotTick(h);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Sees every window activation of the thread: a box of the plug-in gets
// answered once its own message loop runs.
LRESULT CALLBACK cbtProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE) {
    HWND hwnd = reinterpret_cast<HWND>(wp);
    const std::wstring cls = className(hwnd);
    if (cls == L"#32770" || cls == L"QuadrelInputBox") {
      // A box is answered once, however often it is activated.
      if (!GetPropW(hwnd, L"QuadrelHostSeen")) {
        SetPropW(hwnd, L"QuadrelHostSeen", reinterpret_cast<HANDLE>(1));
        PostMessageW(theHost().controller, kBoxAppeared, WPARAM(hwnd), 0);
      }
    }
  }
  return CallNextHookEx(gCbtHook, code, wp, lp);
}

LONG CALLBACK debugOutputHandler(EXCEPTION_POINTERS* info) {
  constexpr DWORD kPrint = 0x40010006;      // DBG_PRINTEXCEPTION_C
  constexpr DWORD kPrintWide = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C
  static bool wideSeen = false;
  const EXCEPTION_RECORD* r = info->ExceptionRecord;
  if ((r->ExceptionCode == kPrintWide || r->ExceptionCode == kPrint) && r->NumberParameters >= 2) {
    if (r->ExceptionCode == kPrintWide) {
      wideSeen = true;
      theHost().debugLines.push_back(narrow(reinterpret_cast<const wchar_t*>(r->ExceptionInformation[1])));
    } else if (!wideSeen) {
      const char* text = reinterpret_cast<const char*>(r->ExceptionInformation[1]);
      theHost().debugLines.push_back(narrow(fromCodePage(text, 0)));
    } else {
      wideSeen = false;  // the narrow repetition of a wide line
    }
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

std::wstring shortcutText(const ShortcutKey& k) {
  std::wstring t;
  if (k.isCtrl)
    t += L"Ctrl+";
  if (k.isAlt)
    t += L"Alt+";
  if (k.isShift)
    t += L"Shift+";
  if (k.key == VK_RETURN)
    t += L"Enter";
  else
    t += wchar_t(k.key);
  return t;
}

void setupView(HWND v) {
  SendMessageW(v, SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<LPARAM>("Courier New"));
  SendMessageW(v, SCI_STYLESETSIZE, STYLE_DEFAULT, 10);
  SendMessageW(v, SCI_STYLECLEARALL, 0, 0);
  SendMessageW(v, SCI_SETMARGINTYPEN, 0, SC_MARGIN_NUMBER);
  SendMessageW(v, SCI_SETMARGINWIDTHN, 0, 36);
  SendMessageW(v, SCI_SETEOLMODE, SC_EOL_CRLF, 0);
  SendMessageW(v, SCI_SETCODEPAGE, SC_CP_UTF8, 0);
}

}  // namespace

Host& theHost() {
  static Host h;
  return h;
}

LRESULT sci(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(theHost().view, message, wParam, lParam);
}

int codePage() { return int(sci(SCI_GETCODEPAGE)); }

std::string documentBytes() {
  const LRESULT n = sci(SCI_GETLENGTH);
  std::string bytes(size_t(n) + 1, '\0');
  sci(SCI_GETTEXT, WPARAM(n + 1), reinterpret_cast<LPARAM>(bytes.data()));
  bytes.resize(size_t(n));
  return bytes;
}

std::wstring documentText() { return fromCodePage(documentBytes(), codePage()); }

void captureDebugOutput() { AddVectoredExceptionHandler(1, debugOutputHandler); }

bool createHost(HINSTANCE instance, std::string& error) {
  Host& h = theHost();
  h.instance = instance;
  if (!Scintilla_RegisterClasses(instance)) {
    error = "Scintilla_RegisterClasses failed";
    return false;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = mainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainClass;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = controllerProc;
  wc.lpszClassName = kControllerClass;
  RegisterClassExW(&wc);

  // The menu bar with the editor's own captions ("&" marks the keyboard letter).
  h.bar = CreateMenu();
  const wchar_t* menus[] = {L"&File",  L"&Edit",  L"&Search", L"&View",    L"E&ncoding", L"&Language", L"Se&ttings",
                            L"T&ools", L"&Macro", L"&Run",    L"&Plugins", L"&Window",   L"?"};
  int position = 0;
  for (const wchar_t* title : menus) {
    HMENU sub = CreatePopupMenu();
    if (std::wstring(title) == L"&Plugins") {
      h.pluginsMenu = sub;
      h.pluginsPosition = position;
      AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(sub, MF_STRING, 48001, L"Plugins Admin...");
      AppendMenuW(sub, MF_STRING, 48002, L"Open Plugins Folder...");
    } else if (std::wstring(title) == L"?") {
      AppendMenuW(sub, MF_STRING, kHelpMenuFirst, L"Command Line Arguments...");
      AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(sub, MF_STRING, kHelpMenuFirst + 1, L"Debug Info...");
      AppendMenuW(sub, MF_STRING, kHelpMenuLast, L"About Test Host");
    } else {
      AppendMenuW(sub, MF_STRING, UINT(41001 + position * 10), L"(not used by the tests)");
    }
    AppendMenuW(h.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), title);
    ++position;
  }

  h.main = CreateWindowExW(0, kMainClass, L"Quadrel test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 900, 640,
                           nullptr, h.bar, instance, nullptr);
  h.controller = CreateWindowExW(0, kControllerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (!h.main || !h.controller) {
    error = "cannot create the host windows";
    return false;
  }
  h.view = CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 100, 100,
                           h.main, reinterpret_cast<HMENU>(kMainViewId), instance, nullptr);
  h.second = CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, h.main,
                             reinterpret_cast<HMENU>(kSecondViewId), instance, nullptr);
  h.scratch = CreateWindowExW(0, L"Scintilla", L"", WS_CHILD, 0, 0, 10, 10, h.main, nullptr, instance, nullptr);
  if (!h.view || !h.second || !h.scratch) {
    error = "cannot create the Scintilla views";
    return false;
  }
  setupView(h.view);
  setupView(h.second);
  SendMessageW(h.view, SCI_SETMOUSEDWELLTIME, WPARAM(h.initialDwellTime), 0);
  h.viewProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h.view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&viewProc)));
  layout(h);
  ShowWindow(h.main, SW_SHOW);
  UpdateWindow(h.main);
  SetForegroundWindow(h.main);
  SetFocus(h.view);
  gCbtHook = SetWindowsHookExW(WH_CBT, cbtProc, nullptr, GetCurrentThreadId());
  if (!gCbtHook) {
    error = "SetWindowsHookEx(WH_CBT) failed";
    return false;
  }
  return true;
}

bool loadPlugin(std::string& error) {
  Host& h = theHost();
  const std::wstring path = pluginFolder() + L"Quadrel.dll";
  h.plugin = LoadLibraryW(path.c_str());
  if (!h.plugin) {
    error = "LoadLibrary(" + narrow(path) + ") failed, error " + std::to_string(GetLastError());
    return false;
  }
  // Before the editor talks to the plug-in: what it writes into its own folder fails.
  if (h.pluginFolderReadOnly && !refuseWritesInto(h.plugin, pluginFolder(), error))
    return false;
  auto proc = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(h.plugin, name)); };
  h.setInfo = reinterpret_cast<decltype(h.setInfo)>(proc("setInfo"));
  h.getName = reinterpret_cast<decltype(h.getName)>(proc("getName"));
  h.getFuncsArray = reinterpret_cast<decltype(h.getFuncsArray)>(proc("getFuncsArray"));
  h.beNotified = reinterpret_cast<decltype(h.beNotified)>(proc("beNotified"));
  auto messageProc = reinterpret_cast<decltype(h.messageProc)>(proc("messageProc"));
  h.isUnicode = reinterpret_cast<decltype(h.isUnicode)>(proc("isUnicode"));
  if (!h.setInfo || !h.getName || !h.getFuncsArray || !h.beNotified || !messageProc || !h.isUnicode) {
    error = "the plug-in lacks one of setInfo, getName, getFuncsArray, beNotified, messageProc, isUnicode";
    return false;
  }
  if (!h.isUnicode()) {
    error = "isUnicode answered 0";
    return false;
  }
  h.loadOrder.push_back("isUnicode");
  // The record goes by value: three handles on the stack.
  h.setInfo(NppData{h.main, h.view, h.second});
  h.loadOrder.push_back("setInfo");
  const wchar_t* name = h.getName();
  h.pluginName = name ? name : L"";
  h.loadOrder.push_back("getName");
  h.items = h.getFuncsArray(&h.itemCount);
  h.loadOrder.push_back("getFuncsArray");
  if (!h.items || h.itemCount <= 0) {
    error = "getFuncsArray gave no items";
    return false;
  }

  // The plug-in's submenu at the top of "Plugins", its shortcuts as accelerators.
  h.ourMenu = CreatePopupMenu();
  // The editor's own shortcut for File > Exit, in the same table: any Alt+F4
  // its message loop translates closes the editor.
  std::vector<ACCEL> accels{ACCEL{FVIRTKEY | FALT, VK_F4, WORD(kExitCommand)}};
  for (int k = 0; k < h.itemCount; ++k) {
    const FuncItem& item = h.items[k];
    const UINT id = UINT(kPluginCommandBase + k);
    if (!item.function) {
      AppendMenuW(h.ourMenu, MF_SEPARATOR, id, nullptr);
      continue;
    }
    std::wstring text = item.itemName;
    if (item.shortcut) {
      text += L"\t" + shortcutText(*item.shortcut);
      BYTE flags = FVIRTKEY;
      if (item.shortcut->isCtrl)
        flags |= FCONTROL;
      if (item.shortcut->isAlt)
        flags |= FALT;
      if (item.shortcut->isShift)
        flags |= FSHIFT;
      accels.push_back(ACCEL{flags, WORD(item.shortcut->key), WORD(id)});
    }
    AppendMenuW(h.ourMenu, MF_STRING | (item.initiallyChecked ? MF_CHECKED : 0), id, text.c_str());
  }
  InsertMenuW(h.pluginsMenu, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(h.ourMenu), h.pluginName.c_str());
  DrawMenuBar(h.main);
  if (!accels.empty())
    h.accelerators = CreateAcceleratorTableW(accels.data(), int(accels.size()));
  h.messageProc = messageProc;
  // The first message after loading reaches messageProc like any other.
  SendMessageW(h.main, WM_NULL, 0, 0);
  h.loadOrder.push_back("messageProc");
  return true;
}

void notifyShutdown() {
  Host& h = theHost();
  if (!h.beNotified)
    return;
  // The notification record starts with the common header; the rest of the
  // editor's record is not read for this code.
  struct {
    NMHDR header;
    char rest[128];
  } notification{};
  notification.header.hwndFrom = h.main;
  notification.header.code = kNppnShutdown;
  h.beNotified(&notification);
}

void unloadPlugin() {
  Host& h = theHost();
  if (!h.plugin)
    return;
  h.messageProc = nullptr;
  h.items = nullptr;
  h.itemCount = 0;
  FreeLibrary(h.plugin);
  h.plugin = nullptr;
  if (h.accelerators)
    DestroyAcceleratorTable(h.accelerators);
  h.accelerators = nullptr;
}

void destroyHost() {
  Host& h = theHost();
  unloadPlugin();
  if (gCbtHook)
    UnhookWindowsHookEx(gCbtHook);
  gCbtHook = nullptr;
  if (h.main)
    DestroyWindow(h.main);
  if (h.controller)
    DestroyWindow(h.controller);
  h.main = h.view = h.second = h.controller = nullptr;
}

void pump(int idleMs, int maxMs) {
  Host& h = theHost();
  const DWORD start = GetTickCount();
  DWORD idleSince = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < DWORD(maxMs)) {
    bool any = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      if (msg.message == WM_QUIT)
        return;
      // The editor's loop: registered modeless windows get their own keys first.
      bool dialog = false;
      for (HWND window : std::vector<HWND>(h.modeless))
        dialog = dialog || (IsWindow(window) && IsDialogMessageW(window, &msg));
      if (dialog)
        continue;
      if (h.accelerators && h.main && TranslateAcceleratorW(h.main, h.accelerators, &msg))
        continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (any)
      idleSince = GetTickCount();
    else if (GetTickCount() - idleSince >= DWORD(idleMs) && !h.shot.active)
      return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void startShot(const std::string& name, const std::vector<std::string>& menuPath) {
  Host& h = theHost();
  h.shot = Host::Shot{};
  h.shot.active = true;
  h.shot.name = name;
  h.shot.menuPath = menuPath;
  h.shot.started = GetTickCount();
  SetTimer(h.controller, kShotTimer, 100, nullptr);
  if (!menuPath.empty()) {
    // Alt selects the first menu of the bar; Right moves to the wanted one, Down opens it.
    PostMessageW(h.main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    std::string error;
    const int n = GetMenuItemCount(h.bar);
    for (int k = 0; k < n; ++k) {
      wchar_t buffer[64] = {0};
      GetMenuStringW(h.bar, UINT(k), buffer, 64, MF_BYPOSITION);
      if (plainCaption(buffer) == menuPath[0]) {
        for (int r = 0; r < k; ++r) PostMessageW(h.main, WM_KEYDOWN, VK_RIGHT, 0);
        break;
      }
    }
    PostMessageW(h.main, WM_KEYDOWN, VK_DOWN, 0);
  }
}

std::string plainCaption(const std::wstring& caption) {
  std::wstring out;
  for (size_t k = 0; k < caption.size(); ++k) {
    if (caption[k] == L'&' && k + 1 < caption.size())
      ++k;
    out.push_back(caption[k]);
  }
  return narrow(out);
}

std::wstring pluginFolder() { return theHost().folder + L"plugins\\Quadrel\\"; }

HMENU menuByPath(const std::vector<std::string>& path, std::string& error) {
  HMENU menu = theHost().bar;
  for (const auto& caption : path) {
    HMENU sub = nullptr;
    const int n = GetMenuItemCount(menu);
    for (int k = 0; k < n && !sub; ++k) {
      wchar_t buffer[256] = {0};
      GetMenuStringW(menu, UINT(k), buffer, 256, MF_BYPOSITION);
      std::string text = plainCaption(buffer);
      if (text.substr(0, text.find('\t')) == caption)
        sub = GetSubMenu(menu, k);
    }
    if (!sub) {
      error = "no submenu " + caption;
      return nullptr;
    }
    menu = sub;
  }
  return menu;
}

}  // namespace host
