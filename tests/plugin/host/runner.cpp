#include "runner.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <thread>

#include "Scintilla.h"
#include "documents.h"
#include "file_io.h"
#include "host.h"
#include "read_only_folder.h"
#include "text_util.h"

namespace host {

namespace {

// ---------------------------------------------------------------- output

void say(const std::string& line) {
  std::string out = line + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

struct Tally {
  int passed = 0;
  int failed = 0;
} gTally;

void pass(const Step& s, const std::string& what) {
  ++gTally.passed;
  say("ok   line " + std::to_string(s.line) + ": " + what);
}

void failCheck(int line, const std::string& what, const std::string& expected, const std::string& actual) {
  ++gTally.failed;
  say("FAIL line " + std::to_string(line) + ": " + what);
  if (!expected.empty() || !actual.empty()) {
    say("       expected: " + expected);
    say("       actual:   " + actual);
  }
}

void check(const Step& s, bool ok, const std::string& what, const std::string& expected, const std::string& actual) {
  if (ok)
    pass(s, what);
  else
    failCheck(s.line, what, expected, actual);
}

// A step that cannot run stops the scenario.
struct StepError {
  std::string text;
};

[[noreturn]] void stepError(const std::string& text) { throw StepError{text}; }

// ---------------------------------------------------------------- watchdog

std::atomic<DWORD> gStepStart{0};
std::atomic<int> gStepLine{0};
constexpr DWORD kStepLimitMs = 180000;

void watchdog() {
  for (;;) {
    Sleep(1000);
    const DWORD start = gStepStart.load();
    // The start is stored with its lowest bit set (0 means no step); the
    // clock read here may lag it by that bit, which is no wrap-around.
    const DWORD elapsed = GetTickCount() - (start & ~DWORD(1));
    if (start && elapsed < 0x80000000u && elapsed > kStepLimitMs) {
      failCheck(gStepLine.load(), "the step did not finish within " + std::to_string(kStepLimitMs / 1000) + " s", "",
                "");
      say(std::to_string(gTally.passed) + " passed, " + std::to_string(gTally.failed) + " failed");
      ExitProcess(3);
    }
  }
}

// ---------------------------------------------------------------- helpers

struct Context {
  const Step* step = nullptr;
  std::wstring work;  // the scenario's own folder, no trailing "\"
  size_t next = 1;    // next word of the step to read

  const Word& word(size_t k) const {
    if (k >= step->words.size())
      stepError("missing argument " + std::to_string(k) + " in: " + step->source);
    return step->words[k];
  }
  const Word& take() { return word(next++); }
  bool more() const { return next < step->words.size(); }
  std::string expand(const std::string& text) const {
    std::string out = replaceAll(text, "%WORK%", narrow(work));
    std::wstring folder = theHost().folder;
    if (!folder.empty())
      folder.pop_back();
    return replaceAll(out, "%HOST%", narrow(folder));
  }
  std::string takeText() { return expand(take().value); }
  long takeNumber() {
    const Word& w = take();
    char* end = nullptr;
    const long n = std::strtol(w.value.c_str(), &end, 10);
    if (w.value.empty() || *end)
      stepError("a number is expected, not " + visible(w.value));
    return n;
  }
  void done() const {
    if (more())
      stepError("unexpected word " + visible(step->words[next].value) + " in: " + step->source);
  }
};

// The settings file beside the plug-in, or the one in the editor's plug-in
// configuration folder.
std::wstring pluginIniPath() { return pluginFolder() + L"Quadrel.INI"; }
std::wstring configIniPath() { return theHost().configFolder + L"\\Quadrel.INI"; }
bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
// The one the plug-in uses: beside it when there is one there, else in the configuration folder.
std::wstring iniPath() { return exists(pluginIniPath()) ? pluginIniPath() : configIniPath(); }

// An optional last word at=plugin|config naming the settings file; else the default.
std::wstring takeIniAt(Context& c, const std::wstring& fallback) {
  if (!c.more() || c.word(c.next).key != "at")
    return fallback;
  const std::string where = c.take().value;
  if (where != "plugin" && where != "config")
    stepError("at=plugin|config, not at=" + where);
  return where == "plugin" ? pluginIniPath() : configIniPath();
}

// The value of a key in section [Quadrel] of the settings file as it is on disk.
bool iniValue(const std::wstring& path, const std::string& key, std::string& value, bool& fileExists) {
  std::string bytes;
  fileExists = readFile(path, bytes);
  if (!fileExists)
    return false;
  const std::string text = fileText(bytes);
  bool inSection = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (startsWith(line, "[")) {
      inSection = lower(line) == "[quadrel]";
      continue;
    }
    const size_t eq = line.find('=');
    if (inSection && eq != std::string::npos && lower(line.substr(0, eq)) == lower(key)) {
      value = line.substr(eq + 1);
      return true;
    }
  }
  return false;
}

std::string clipboardText() {
  Host& h = theHost();
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(h.main)) {
      std::string text = "<no text on the clipboard>";
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
          text = narrow(p);
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
      return text;
    }
    Sleep(50);
  }
  return "<clipboard could not be opened>";
}

std::string documentUtf8() { return narrow(documentText()); }

// The byte position of a piece of text in the document (first occurrence).
intptr_t findInDocument(const std::string& utf8) {
  const std::string needle = toCodePage(widen(utf8), codePage());
  const size_t at = documentBytes().find(needle);
  if (at == std::string::npos || needle.empty())
    stepError("text " + visible(utf8) + " is not in the document");
  return intptr_t(at);
}

// Positions: N | after "text" | before "text" | line N | end-of-line N | caret
intptr_t takePosition(Context& c) {
  const Word& w = c.take();
  if (w.value == "after" && !w.quoted) {
    const std::string t = c.takeText();
    return findInDocument(t) + intptr_t(toCodePage(widen(t), codePage()).size());
  }
  if (w.value == "before" && !w.quoted)
    return findInDocument(c.takeText());
  if (w.value == "line" && !w.quoted)
    return sci(SCI_POSITIONFROMLINE, WPARAM(c.takeNumber() - 1));
  if (w.value == "end-of-line" && !w.quoted)
    return sci(SCI_GETLINEENDPOSITION, WPARAM(c.takeNumber() - 1));
  if (w.value == "caret" && !w.quoted)
    return sci(SCI_GETCURRENTPOS);
  char* end = nullptr;
  const long n = std::strtol(w.value.c_str(), &end, 10);
  if (w.value.empty() || *end)
    stepError("a position is expected (N, after \"..\", before \"..\", line N, end-of-line N, caret), not " +
              visible(w.value));
  return n;
}

std::vector<std::string> menuCaptions(HMENU menu) {
  std::vector<std::string> out;
  const int n = GetMenuItemCount(menu);
  for (int k = 0; k < n; ++k) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, UINT(k), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      out.push_back("-");
      continue;
    }
    wchar_t buffer[256] = {0};
    GetMenuStringW(menu, UINT(k), buffer, 256, MF_BYPOSITION);
    std::string text = narrow(buffer);
    out.push_back(text.substr(0, text.find('\t')));
  }
  return out;
}

// An item of the plug-in's submenu or of its options, by caption: its
// command number and state; false when there is none.
bool findPluginItem(HMENU menu, const std::string& caption, UINT& id, UINT& state) {
  const int n = GetMenuItemCount(menu);
  for (int k = 0; k < n; ++k) {
    if (HMENU sub = GetSubMenu(menu, k)) {
      if (findPluginItem(sub, caption, id, state))
        return true;
      continue;
    }
    wchar_t buffer[256] = {0};
    GetMenuStringW(menu, UINT(k), buffer, 256, MF_BYPOSITION);
    std::string text = narrow(buffer);
    if (text.substr(0, text.find('\t')) == caption) {
      id = GetMenuItemID(menu, k);
      state = GetMenuState(menu, UINT(k), MF_BYPOSITION);
      return true;
    }
  }
  return false;
}

// The lines of the plug-in's messages window (its list), "" when none is open.
BOOL CALLBACK findMessagesWindow(HWND hwnd, LPARAM lp) {
  wchar_t cls[64] = {0};
  GetClassNameW(hwnd, cls, 64);
  // The first one found is the topmost: a report opens a fresh window over the older ones.
  if (IsWindowVisible(hwnd) && std::wstring(cls) == L"QuadrelMessagesWindow") {
    *reinterpret_cast<HWND*>(lp) = hwnd;
    return FALSE;
  }
  return TRUE;
}

bool messagesWindowLines(std::vector<std::string>& lines) {
  HWND window = nullptr;
  EnumWindows(findMessagesWindow, reinterpret_cast<LPARAM>(&window));
  if (!window)
    return false;
  HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
  const LRESULT n = list ? SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
  for (LRESULT k = 0; k < n; ++k) {
    std::wstring item(size_t(SendMessageW(list, LB_GETTEXTLEN, WPARAM(k), 0)) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, WPARAM(k), reinterpret_cast<LPARAM>(item.data()));
    item.resize(size_t(got > 0 ? got : 0));
    lines.push_back(narrow(item));
  }
  return true;
}

// B: the command number of the "Options" item (its items are B+1 to B+12).
int optionsBase() {
  Host& h = theHost();
  const int n = h.ourMenu ? GetMenuItemCount(h.ourMenu) : 0;
  for (int k = 0; k < n; ++k) {
    wchar_t buffer[64] = {0};
    GetMenuStringW(h.ourMenu, UINT(k), buffer, 64, MF_BYPOSITION);
    if (std::wstring(buffer) == L"Options" && GetSubMenu(h.ourMenu, k)) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_ID;
      GetMenuItemInfoW(h.ourMenu, UINT(k), TRUE, &info);
      return int(info.wID);
    }
  }
  stepError("the plug-in's menu has no \"Options\" submenu (was \"open-plugins\" done?)");
}

std::string joined(const std::vector<std::string>& parts, const char* glue) {
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : glue) + p;
  return out;
}

// The box's centre lies within a few pixels of the main window's centre.
bool centredOnMain(const BoxRecord& b) {
  const long dx = (b.rect.left + b.rect.right) / 2 - (b.mainRect.left + b.mainRect.right) / 2;
  const long dy = (b.rect.top + b.rect.bottom) / 2 - (b.mainRect.top + b.mainRect.bottom) / 2;
  return dx >= -8 && dx <= 8 && dy >= -8 && dy <= 8;
}

std::string describeBox(const BoxRecord& b) {
  std::string out =
      b.kind + " box caption=" + visible(b.caption) + " text=" + visible(b.text) + " buttons=" + visible(b.buttons);
  if (b.kind == "input")
    out += " default=" + visible(b.defaultText);
  if (b.kind == "dialog")
    out += " filter=" + visible(b.filter) + " folder=" + visible(b.folder);
  out += " at (" + std::to_string(b.rect.left) + "," + std::to_string(b.rect.top) + ")-(" +
         std::to_string(b.rect.right) + "," + std::to_string(b.rect.bottom) + ")" +
         (centredOnMain(b) ? " centred" : "");
  return out + " (answered " + b.answer + ", appeared at line " + std::to_string(b.stepLine) + ")";
}

struct TitleSearch {
  std::wstring title;
  HWND found = nullptr;
};

// EnumWindows callback (stdcall on 32-bit Windows, so not a lambda): stops at
// the first visible window of this process with the searched title.
BOOL CALLBACK matchTitle(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TitleSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t text[256] = {0};
  GetWindowTextW(w, text, 256);
  if (pid == GetCurrentProcessId() && IsWindowVisible(w) && s->title == text) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of this process with this title, or null.
HWND windowTitled(const std::string& title) {
  TitleSearch search{widen(title)};
  EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Keys: modifiers and one key joined by "+": ctrl+2, ctrl+shift+enter,
// ctrl+alt+m, alt+f4; to the main view, or to the window given.
void pressKey(const std::string& keys, HWND target = nullptr) {
  Host& h = theHost();
  bool ctrl = false, alt = false, shift = false;
  int vk = 0;
  size_t start = 0;
  while (start <= keys.size()) {
    size_t end = keys.find('+', start);
    if (end == std::string::npos)
      end = keys.size();
    const std::string part = lower(keys.substr(start, end - start));
    start = end + 1;
    if (part == "ctrl")
      ctrl = true;
    else if (part == "alt")
      alt = true;
    else if (part == "shift")
      shift = true;
    else if (part == "enter")
      vk = VK_RETURN;
    else if (part == "f4")
      vk = VK_F4;
    else if (part.size() == 1 && ((part[0] >= '0' && part[0] <= '9') || (part[0] >= 'a' && part[0] <= 'z')))
      vk = std::toupper(static_cast<unsigned char>(part[0]));
    else
      stepError("unknown key " + visible(part) + " in " + visible(keys));
  }
  if (!vk)
    stepError("no key in " + visible(keys));
  // The modifiers are held in the thread's key state while the key message
  // goes through the message loop and its accelerator translation.
  BYTE saved[256], held[256];
  GetKeyboardState(saved);
  std::copy(saved, saved + 256, held);
  auto hold = [&](int key, bool on) {
    if (on)
      held[key] = 0x80;
  };
  hold(VK_CONTROL, ctrl);
  hold(VK_LCONTROL, ctrl);
  hold(VK_MENU, alt);
  hold(VK_LMENU, alt);
  hold(VK_SHIFT, shift);
  hold(VK_LSHIFT, shift);
  SetKeyboardState(held);
  HWND to = target ? target : h.view;
  if (target)
    SetForegroundWindow(target);
  SetFocus(to);
  const UINT down = (alt && !ctrl) ? WM_SYSKEYDOWN : WM_KEYDOWN;
  const UINT up = (alt && !ctrl) ? WM_SYSKEYUP : WM_KEYUP;
  const LPARAM scan = LPARAM(MapVirtualKeyW(UINT(vk), 0)) << 16;
  PostMessageW(to, down, WPARAM(vk), 1 | scan | (alt ? (1 << 29) : 0));
  PostMessageW(to, up, WPARAM(vk), 1 | scan | (alt ? (1 << 29) : 0) | (1u << 30) | (1u << 31));
  pump();
  SetKeyboardState(saved);
}

void sendDwell(intptr_t position, unsigned code) {
  Host& h = theHost();
  SCNotification scn{};
  scn.nmhdr.hwndFrom = h.view;
  scn.nmhdr.idFrom = UINT_PTR(GetDlgCtrlID(h.view));
  scn.nmhdr.code = code;
  scn.position = position;
  scn.x = int(sci(SCI_POINTXFROMPOSITION, 0, position)) + 2;
  scn.y = int(sci(SCI_POINTYFROMPOSITION, 0, position)) + int(sci(SCI_TEXTHEIGHT, 0)) / 2;
  SendMessageW(h.main, WM_NOTIFY, scn.nmhdr.idFrom, reinterpret_cast<LPARAM>(&scn));
  pump();
}

void waitForShot(const Step& s) {
  Host& h = theHost();
  while (h.shot.active) pump(50, 1000);
  if (h.shotsFolder.empty() && h.shot.error.empty()) {
    say("note line " + std::to_string(s.line) + ": no screenshot taken (no --shots folder)");
    return;
  }
  check(s, h.shot.error.empty(), "screenshot " + h.shot.name + " (" + joined(h.shot.written, ", ") + ")", "no error",
        h.shot.error);
}

void menuScreenshot(const Step& s, const std::string& name, const std::vector<std::string>& path) {
  if (path.empty())
    stepError("menu-screenshot NAME \"Menu\" \"Item\" ...");
  std::string error;
  if (!menuByPath(path, error) && path.size() < 2)
    stepError(error);
  startShot(name, path);
  waitForShot(s);
}

// ---------------------------------------------------------------- expectations

void expectBox(Context& c) {
  Host& h = theHost();
  const Step& s = *c.step;
  BoxRecord* box = nullptr;
  for (auto& b : h.boxes)
    if (!b.checked) {
      box = &b;
      break;
    }
  std::vector<std::pair<std::string, std::string>> wanted;
  while (c.more()) {
    const Word& w = c.take();
    if (w.key.empty())
      stepError("expect box takes key=value words (caption, text, text~, buttons, kind, default, answer)");
    wanted.emplace_back(w.key, c.expand(w.value));
  }
  std::string description;
  for (auto& [k, v] : wanted) description += " " + k + "=" + visible(v);
  const std::string what = "box" + description;
  if (!box) {
    failCheck(s.line, what, "a box", "no box appeared (or all were checked before)");
    return;
  }
  box->checked = true;
  bool ok = true;
  for (auto& [k, v] : wanted) {
    if (k == "caption")
      ok = ok && box->caption == v;
    else if (k == "text")
      ok = ok && box->text == v;
    else if (k == "text~")
      ok = ok && box->text.find(v) != std::string::npos;
    else if (k == "buttons")
      ok = ok && box->buttons == v;
    else if (k == "kind")
      ok = ok && box->kind == v;
    else if (k == "default")
      ok = ok && box->defaultText == v;
    else if (k == "filter")
      ok = ok && box->filter == v;
    else if (k == "folder")
      ok = ok && lower(box->folder) == lower(c.expand(v));
    else if (k == "answer")
      ok = ok && box->answer == v;
    else if (k == "centred")
      ok = ok && centredOnMain(*box) == (v == "yes");
    else
      stepError("expect box: unknown key " + k);
  }
  check(s, ok, what, what.substr(4), describeBox(*box));
}

void expectFile(Context& c) {
  const Step& s = *c.step;
  const std::string path = c.takeText();
  const std::string how = c.take().value;
  std::string bytes;
  const bool exists = readFile(widen(path), bytes);
  if (how == "missing" || how == "exists") {
    c.done();
    check(s, exists == (how == "exists"), "file " + visible(path) + " " + how, how, exists ? "exists" : "missing");
    return;
  }
  const std::string text = fileText(bytes);
  const std::string want = c.takeText();
  c.done();
  const std::string what = "file " + visible(path) + " " + how + " " + visible(want);
  if (!exists) {
    failCheck(s.line, what, visible(want), "the file does not exist");
    return;
  }
  bool ok = false;
  if (how == "equals")
    ok = text == want;
  else if (how == "contains")
    ok = text.find(want) != std::string::npos;
  else if (how == "lacks")
    ok = text.find(want) == std::string::npos;
  else
    stepError("expect file PATH equals|contains|lacks|missing|exists");
  check(s, ok, what, visible(want), visible(text));
}

void expectStep(Context& c) {
  Host& h = theHost();
  const Step& s = *c.step;
  const std::string what = c.take().value;
  if (what == "text" || what == "text-contains" || what == "text-lacks") {
    const std::string want = c.takeText();
    c.done();
    const std::string doc = documentUtf8();
    const bool ok = what == "text" ? doc == want : (doc.find(want) != std::string::npos) == (what == "text-contains");
    check(s, ok, "document " + what + " " + visible(want), visible(want), visible(doc));
  } else if (what == "caret") {
    const intptr_t want = takePosition(c);
    c.done();
    const LRESULT caret = sci(SCI_GETCURRENTPOS);
    check(s, caret == want, "caret at " + std::to_string(want), std::to_string(want), std::to_string(caret));
  } else if (what == "box") {
    expectBox(c);
  } else if (what == "boxes") {
    const long want = c.takeNumber();
    c.done();
    check(s, long(h.boxes.size()) == want, "number of boxes shown so far is " + std::to_string(want),
          std::to_string(want), std::to_string(h.boxes.size()));
  } else if (what == "ini") {
    const std::string key = c.takeText();
    const Word& w = c.take();
    const std::wstring path = takeIniAt(c, iniPath());
    c.done();
    std::string value;
    bool fileExists = false;
    const bool found = iniValue(path, key, value, fileExists);
    if (!w.quoted && w.value == "missing") {
      check(s, !found, "settings key " + visible(key) + " missing", "no such key",
            fileExists ? visible(value) : "no settings file");
    } else {
      check(s, found && value == w.value, "settings key " + visible(key) + " = " + visible(w.value), visible(w.value),
            found ? visible(value) : (fileExists ? "key missing" : "no settings file"));
    }
  } else if (what == "ini-file") {
    const std::string how = c.take().value;
    const std::wstring path = takeIniAt(c, pluginIniPath());
    c.done();
    std::string bytes;
    const bool exists = readFile(path, bytes);
    check(s, exists == (how == "exists"), "settings file " + visible(narrow(path)) + " " + how, how,
          exists ? "exists: " + visible(fileText(bytes)) : "missing");
  } else if (what == "opened" || what == "opens") {
    // NPPM_DOOPEN requests: the last one's path, or their number.
    if (what == "opens") {
      const long want = c.takeNumber();
      c.done();
      check(s, long(h.opens.size()) == want, "number of open requests is " + std::to_string(want), std::to_string(want),
            std::to_string(h.opens.size()));
    } else {
      const std::string want = c.takeText();
      c.done();
      const std::string have = h.opens.empty() ? "no open request" : visible(narrow(h.opens.back()));
      check(s, !h.opens.empty() && narrow(h.opens.back()) == want, "open request for " + visible(want), visible(want),
            have);
    }
  } else if (what == "refused-writes") {
    const std::string how = c.take().value;
    c.done();
    if (how != "some" && how != "none")
      stepError("expect refused-writes some|none");
    const int n = refusedWrites();
    check(s, (n > 0) == (how == "some"), "writes into the read-only plug-in folder refused: " + how, how,
          std::to_string(n));
  } else if (what == "file") {
    expectFile(c);
  } else if (what == "clipboard") {
    const std::string want = c.takeText();
    c.done();
    const std::string have = clipboardText();
    check(s, have == want, "clipboard " + visible(want), visible(want), visible(have));
  } else if (what == "calltip") {
    const std::string how = c.take().value;
    c.done();
    const bool active = sci(SCI_CALLTIPACTIVE) != 0;
    check(s, active == (how == "active"), "call tip " + how, how, active ? "active" : "inactive");
  } else if (what == "calltip-text" || what == "calltip-contains") {
    const std::string want = c.takeText();
    c.done();
    const std::string have = narrow(fromCodePage(h.callTipBytes, codePage()));
    const bool ok =
        h.callTipShows > 0 && (what == "calltip-text" ? have == want : have.find(want) != std::string::npos);
    check(s, ok, what + " " + visible(want), visible(want),
          h.callTipShows > 0 ? visible(have) : "no call tip was shown");
  } else if (what == "calltip-position") {
    const intptr_t want = takePosition(c);
    c.done();
    check(s, h.callTipShows > 0 && h.callTipPosition == want, "call tip shown at " + std::to_string(want),
          std::to_string(want), h.callTipShows > 0 ? std::to_string(h.callTipPosition) : "no call tip was shown");
  } else if (what == "calltips") {
    const long want = c.takeNumber();
    c.done();
    check(s, h.callTipShows == want, "number of call tips shown is " + std::to_string(want), std::to_string(want),
          std::to_string(h.callTipShows));
  } else if (what == "reload") {
    const std::string want = c.takeText();
    c.done();
    const std::string have = h.reloads.empty() ? "no reload request" : visible(narrow(h.reloads.back()));
    check(s, !h.reloads.empty() && narrow(h.reloads.back()) == want, "reload request for " + visible(want),
          visible(want), have);
  } else if (what == "reload-alert") {
    // expect reload-alert yes|no: whether the last reload asked the editor to warn first
    const std::string want = c.take().value;
    c.done();
    const std::string have = h.reloadAlerts.empty() ? "no reload request" : (h.reloadAlerts.back() ? "yes" : "no");
    check(s, have == want, "the last reload request's alert is " + want, want, have);
  } else if (what == "exits") {
    const long want = c.takeNumber();
    c.done();
    check(s, long(h.exitRequests) == want, "the editor was asked to exit " + std::to_string(want) + " times",
          std::to_string(want), std::to_string(h.exitRequests));
  } else if (what == "modeless") {
    // expect modeless N: windows registered with the editor now
    const long want = c.takeNumber();
    c.done();
    check(s, long(h.modeless.size()) == want, "windows registered as modeless: " + std::to_string(want),
          std::to_string(want), std::to_string(h.modeless.size()));
  } else if (what == "window") {
    // expect window "Title" open|missing|owned
    const std::string title = c.takeText();
    const std::string how = c.take().value;
    c.done();
    HWND w = windowTitled(title);
    const std::string have = !w ? "missing" : (GetWindow(w, GW_OWNER) == h.main ? "owned" : "open");
    check(s, how == "open" ? w != nullptr : have == how, "window " + visible(title) + " " + how, how, have);
  } else if (what == "reloads") {
    const long want = c.takeNumber();
    c.done();
    check(s, long(h.reloads.size()) == want, "number of reload requests is " + std::to_string(want),
          std::to_string(want), std::to_string(h.reloads.size()));
  } else if (what == "debuglog-contains" || what == "debuglog-lacks") {
    const std::string want = c.takeText();
    c.done();
    bool found = false;
    for (const auto& line : h.debugLines) found = found || line.find(want) != std::string::npos;
    const bool ok = found == (what == "debuglog-contains");
    // The command lines run are the most telling lines; else the last one.
    std::string sample = std::to_string(h.debugLines.size()) + " debug lines";
    std::string commandLines;
    for (const auto& line : h.debugLines)
      if (line.find("CmdLine = ") != std::string::npos)
        commandLines += (commandLines.empty() ? "" : ", ") + visible(line);
    if (!commandLines.empty())
      sample += "; command lines: " + commandLines;
    else if (!h.debugLines.empty())
      sample += ", last " + visible(h.debugLines.back());
    check(s, ok, what + " " + visible(want), visible(want), sample);
  } else if (what == "checked") {
    const std::string caption = c.takeText();
    const std::string how = c.take().value;
    c.done();
    UINT id = 0, state = 0;
    const bool found = h.ourMenu && findPluginItem(h.ourMenu, caption, id, state);
    const bool on = found && (state & MF_CHECKED);
    check(s, found && on == (how == "yes"), "check mark of " + visible(caption) + ": " + how, how,
          found ? (on ? "yes" : "no") : "no such item in the plug-in's menu");
  } else if (what == "menu-items") {
    std::vector<std::string> path;
    while (c.more() && c.word(c.next).key.empty()) path.push_back(c.takeText());
    if (path.empty() || !c.more() || c.word(c.next).key != "items")
      stepError("expect menu-items \"Menu\" \"Submenu\" ... items=\"a|b|-|c\"");
    const std::string want = c.expand(c.take().value);
    c.done();
    std::string error;
    HMENU menu = menuByPath(path, error);
    const std::string have = menu ? joined(menuCaptions(menu), "|") : error;
    check(s, menu && have == want, "items of " + joined(path, " > "), visible(want), visible(have));
  } else if (what == "wndproc") {
    const std::string how = c.take().value;
    c.done();
    const auto proc = GetWindowLongPtrW(h.main, GWLP_WNDPROC);
    const bool ours = LONG_PTR(proc) == LONG_PTR(GetClassLongPtrW(h.main, GCLP_WNDPROC));
    if (how != "host" && how != "replaced")
      stepError("expect wndproc host|replaced");
    check(s, ours == (how == "host"), "main window procedure: " + how, how, ours ? "host" : "replaced");
  } else if (what == "dwelltime") {
    const long want = c.takeNumber();
    c.done();
    const LRESULT have = sci(SCI_GETMOUSEDWELLTIME);
    check(s, have == want, "mouse dwell time of the main view is " + std::to_string(want), std::to_string(want),
          std::to_string(have));
  } else if (what == "host-saw-command") {
    const Word& w = c.take();
    if (w.key != "offset")
      stepError("expect host-saw-command offset=N yes|no");
    const int id = optionsBase() + std::atoi(w.value.c_str());
    const std::string how = c.take().value;
    c.done();
    bool seen = false;
    for (int got : h.commands) seen = seen || got == id;
    check(s, seen == (how == "yes"),
          "WM_COMMAND " + std::to_string(id) + " (options offset " + w.value + ") reached the host: " + how, how,
          seen ? "yes" : "no");
  } else if (what == "messages-window") {
    // expect messages-window has-line "text" | line-contains "text" | missing
    const std::string how = c.take().value;
    std::vector<std::string> lines;
    const bool open = messagesWindowLines(lines);
    if (how == "missing") {
      c.done();
      check(s, !open, "no messages window", "missing", "open");
    } else if (how == "has-line" || how == "line-contains") {
      const std::string want = c.takeText();
      c.done();
      bool found = false;
      for (const auto& line : lines)
        found = found || (how == "has-line" ? line == want : line.find(want) != std::string::npos);
      std::string have = open ? std::to_string(lines.size()) + " lines" : "no messages window";
      for (size_t k = 0; k < lines.size() && k < 12; ++k) have += (k ? ", " : ": ") + visible(lines[k]);
      check(s, found, "messages window " + how + " " + visible(want), visible(want), have);
    } else if (how == "fills") {
      // The list uses the window's width: no more than 10 pixels left over at either side.
      c.done();
      HWND window = nullptr;
      EnumWindows(findMessagesWindow, reinterpret_cast<LPARAM>(&window));
      HWND list = window ? FindWindowExW(window, nullptr, L"ListBox", nullptr) : nullptr;
      RECT client{}, box{};
      if (list) {
        GetClientRect(window, &client);
        GetWindowRect(list, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
      }
      const bool fills = list && box.left <= 10 && client.right - box.right <= 10;
      check(s, fills, "the messages list fills its window's width", "list within 10 px of both sides",
            list ? "list " + std::to_string(box.left) + ".." + std::to_string(box.right) + " of " +
                       std::to_string(client.right)
                 : "no list");
    } else {
      stepError("expect messages-window has-line|line-contains \"text\" | missing | fills");
    }
  } else if (what == "load-order") {
    const std::string want = c.takeText();
    c.done();
    check(s, joined(h.loadOrder, " ") == want, "plug-in interface called as " + visible(want), visible(want),
          visible(joined(h.loadOrder, " ")));
  } else if (what == "plugin-name") {
    const std::string want = c.takeText();
    c.done();
    check(s, narrow(h.pluginName) == want, "getName gives " + visible(want), visible(want),
          visible(narrow(h.pluginName)));
  } else {
    stepError("unknown expectation " + visible(what));
  }
}

// ---------------------------------------------------------------- steps

void clearFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      clearFolder(folder + L"\\" + name);
      RemoveDirectoryW((folder + L"\\" + name).c_str());
    } else {
      DeleteFileW((folder + L"\\" + name).c_str());
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

void runStep(Context& c) {
  Host& h = theHost();
  const Step& s = *c.step;
  const std::string command = s.words[0].value;
  const bool loaded = h.plugin != nullptr;
  auto needPlugin = [&] {
    if (!loaded)
      stepError(command + " needs the plug-in: \"load\" it first");
  };
  if (command == "title") {
    say("# " + c.takeText());
  } else if (command == "load") {
    c.done();
    std::string error;
    if (loaded)
      stepError("the plug-in is loaded already");
    if (!loadPlugin(error))
      stepError(error);
    pump();
  } else if (command == "unload") {
    c.done();
    needPlugin();
    unloadPlugin();
    pump();
  } else if (command == "shutdown") {
    // The editor's closing notification, sent while its windows still live.
    c.done();
    needPlugin();
    notifyShutdown();
    pump();
  } else if (command == "ini") {
    const std::string key = c.takeText(), value = c.takeText();
    const std::wstring path = takeIniAt(c, pluginIniPath());
    c.done();
    WritePrivateProfileStringW(L"Quadrel", widen(key).c_str(), widen(value).c_str(), path.c_str());
  } else if (command == "plugin-folder") {
    const std::string how = c.take().value;
    c.done();
    if (how != "read-only")
      stepError("plugin-folder read-only");
    if (loaded)
      stepError("plugin-folder read-only comes before \"load\"");
    h.pluginFolderReadOnly = true;
  } else if (command == "rename-menu") {
    // A translated editor: a menu of the bar gets another caption.
    const std::string from = c.takeText(), to = c.takeText();
    c.done();
    bool renamed = false;
    for (int k = 0; k < GetMenuItemCount(h.bar) && !renamed; ++k) {
      wchar_t buffer[64] = {0};
      GetMenuStringW(h.bar, UINT(k), buffer, 64, MF_BYPOSITION);
      if (plainCaption(buffer) != from)
        continue;
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_STRING;
      std::wstring text = widen(to);
      info.dwTypeData = text.data();
      renamed = SetMenuItemInfoW(h.bar, UINT(k), TRUE, &info);
    }
    if (!renamed)
      stepError("no menu " + visible(from) + " on the menu bar");
    DrawMenuBar(h.main);
  } else if (command == "codepage") {
    const std::string which = c.take().value;
    c.done();
    if (which != "utf8" && which != "ansi")
      stepError("codepage utf8|ansi");
    const std::wstring text = documentText();
    sci(SCI_SETCODEPAGE, which == "utf8" ? SC_CP_UTF8 : 0);
    sci(SCI_SETTEXT, 0, reinterpret_cast<LPARAM>(toCodePage(text, codePage()).c_str()));
  } else if (command == "text") {
    const std::string text = c.takeText();
    c.done();
    const std::wstring wide = widen(text);
    const std::string bytes = toCodePage(wide, codePage());
    if (fromCodePage(bytes, codePage()) != wide)
      stepError("the text cannot be written in the document's code page");
    sci(SCI_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()));
    sci(SCI_EMPTYUNDOBUFFER);
  } else if (command == "type") {
    // type "text": typed at the caret, an edit the document keeps as unsaved.
    const std::string text = c.takeText();
    c.done();
    const std::string bytes = toCodePage(widen(text), codePage());
    sci(SCI_REPLACESEL, 0, reinterpret_cast<LPARAM>(bytes.c_str()));
  } else if (command == "long-text") {
    // long-text N "line": the document is the line N times, then an empty line.
    const long count = c.takeNumber();
    const std::string line = c.takeText();
    c.done();
    std::string text;
    text.reserve(line.size() * size_t(count > 0 ? count : 0));
    for (long k = 0; k < count; ++k) text += line;
    sci(SCI_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    sci(SCI_EMPTYUNDOBUFFER);
  } else if (command == "caret") {
    const intptr_t pos = takePosition(c);
    c.done();
    sci(SCI_GOTOPOS, WPARAM(pos));
  } else if (command == "select") {
    intptr_t from = 0, to = 0;
    if (c.word(1).quoted) {
      const std::string t = c.takeText();
      from = findInDocument(t);
      to = from + intptr_t(toCodePage(widen(t), codePage()).size());
    } else {
      from = takePosition(c);
      to = takePosition(c);
    }
    c.done();
    sci(SCI_SETSEL, WPARAM(from), to);
  } else if (command == "path") {
    h.currentPath = widen(c.takeText());
    c.done();
  } else if (command == "save") {
    c.done();
    if (h.currentPath.empty() || !writeFile(h.currentPath, documentBytes()))
      stepError("cannot save the document to " + visible(narrow(h.currentPath)));
    sci(SCI_SETSAVEPOINT);  // the editor's saved document is unmodified
    notifyPlugin(NPPN_FILESAVED, currentBuffer());
  } else if (command == "open") {
    // open "path": File > Open, or a click on the document's tab when it is open.
    const std::string path = c.takeText();
    c.done();
    if (!openDocument(widen(path)))
      stepError("cannot open " + visible(path));
  } else if (command == "write-file") {
    const std::string path = c.takeText(), text = c.takeText();
    c.done();
    if (!writeFile(widen(path), text))
      stepError("cannot write " + visible(path));
  } else if (command == "delete-file") {
    const std::string path = c.takeText();
    c.done();
    DeleteFileW(widen(path).c_str());
  } else if (command == "view") {
    const std::string which = c.take().value;
    c.done();
    h.currentView = which == "second" ? 1 : 0;
  } else if (command == "answer") {
    QueuedAnswer a;
    a.line = s.line;
    const std::string how = c.take().value;
    if (how == "yes")
      a.button = IDYES;
    else if (how == "no")
      a.button = IDNO;
    else if (how == "ok")
      a.button = IDOK;
    else if (how == "cancel")
      a.button = IDCANCEL;
    else if (how == "input") {
      a.input = true;
      a.text = c.takeText();
    } else {
      stepError("answer yes|no|ok|cancel|input \"text\"");
    }
    c.done();
    h.answers.push_back(a);
  } else if (command == "menu") {
    needPlugin();
    const Word& w = c.take();
    c.done();
    int index = -1;
    if (w.quoted) {
      for (int k = 0; k < h.itemCount; ++k)
        if (narrow(h.items[k].itemName) == w.value)
          index = k;
    } else {
      index = std::atoi(w.value.c_str()) - 1;
    }
    if (index < 0 || index >= h.itemCount || !h.items[index].function)
      stepError("no menu item " + visible(w.value));
    // A click on the item: the menu posts the command to the main window.
    PostMessageW(h.main, WM_COMMAND, WPARAM(kPluginCommandBase + index), 0);
    pump();
  } else if (command == "key") {
    needPlugin();
    const std::string keys = c.take().value;
    HWND target = nullptr;
    if (c.more()) {
      const Word w = c.take();
      if (w.key != "window")
        stepError("key KEYS [window=\"Title\"]");
      target = windowTitled(w.value);
      if (!target)
        stepError("no window titled " + visible(w.value));
    }
    c.done();
    pressKey(keys, target);
  } else if (command == "open-plugins") {
    needPlugin();
    c.done();
    SendMessageW(h.main, WM_INITMENU, WPARAM(h.bar), 0);
    SendMessageW(h.main, WM_MENUSELECT, MAKEWPARAM(h.pluginsPosition, MF_POPUP | MF_HILITE),
                 reinterpret_cast<LPARAM>(h.bar));
    pump();
  } else if (command == "option") {
    needPlugin();
    const std::string caption = c.takeText();
    c.done();
    UINT id = 0, state = 0;
    if (!h.ourMenu || !findPluginItem(h.ourMenu, caption, id, state))
      stepError("no item " + visible(caption) + " in the plug-in's menu (was \"open-plugins\" done?)");
    PostMessageW(h.main, WM_COMMAND, WPARAM(id), 0);
    pump();
  } else if (command == "dwell" || command == "dwell-end") {
    needPlugin();
    const intptr_t pos = takePosition(c);
    c.done();
    sendDwell(pos, command == "dwell" ? SCN_DWELLSTART : SCN_DWELLEND);
  } else if (command == "dwell-mouse") {
    needPlugin();
    const intptr_t pos = takePosition(c);
    c.done();
    // Rest the mouse on the position and let Scintilla notice it itself.
    POINT pt{int(sci(SCI_POINTXFROMPOSITION, 0, pos)) + 2,
             int(sci(SCI_POINTYFROMPOSITION, 0, pos)) + int(sci(SCI_TEXTHEIGHT, 0)) / 2};
    POINT screen = pt;
    ClientToScreen(h.view, &screen);
    SetCursorPos(screen.x, screen.y);
    const size_t before = h.notifications.size();
    PostMessageW(h.view, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    const DWORD start = GetTickCount();
    bool seen = false;
    while (!seen && GetTickCount() - start < 10000) {
      pump(50, 200);
      for (size_t k = before; k < h.notifications.size(); ++k) seen = seen || h.notifications[k] == SCN_DWELLSTART;
    }
    if (!seen)
      stepError("Scintilla sent no SCN_DWELLSTART within 10 s");
    pump();
  } else if (command == "clipboard") {
    const std::wstring text = widen(c.takeText());
    c.done();
    bool ok = false;
    for (int attempt = 0; attempt < 20 && !ok; ++attempt) {
      if (!OpenClipboard(h.main)) {
        Sleep(50);
        continue;
      }
      EmptyClipboard();
      HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
      if (auto* p = static_cast<wchar_t*>(GlobalLock(data))) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
        GlobalUnlock(data);
        ok = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
      }
      CloseClipboard();
    }
    if (!ok)
      stepError("cannot put the text on the clipboard");
  } else if (command == "send-null") {
    c.done();
    SendMessageW(h.main, WM_NULL, 0, 0);
    pump();
  } else if (command == "send-command") {
    // A WM_COMMAND for options item B+offset, from the menu (lParam 0) or from a control.
    needPlugin();
    const Word& w = c.take();
    if (w.key != "offset")
      stepError("send-command offset=N [from-control]");
    const int id = optionsBase() + std::atoi(w.value.c_str());
    const bool control = c.more() && c.take().value == "from-control";
    c.done();
    PostMessageW(h.main, WM_COMMAND, WPARAM(id), control ? reinterpret_cast<LPARAM>(h.view) : 0);
    pump();
  } else if (command == "wait") {
    const long ms = c.takeNumber();
    c.done();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < DWORD(ms)) pump(10, 50);
  } else if (command == "screenshot") {
    const std::string name = c.takeText();
    c.done();
    if (!h.shotsFolder.empty())
      startShot(name, {});
    waitForShot(s);
  } else if (command == "menu-screenshot") {
    needPlugin();
    const std::string name = c.takeText();
    std::vector<std::string> path;
    while (c.more()) path.push_back(c.takeText());
    menuScreenshot(s, name, path);
  } else if (command == "expect") {
    expectStep(c);
  } else {
    stepError("unknown step " + visible(command));
  }
}

}  // namespace

int runScenario(const Scenario& scenario) {
  Host& h = theHost();
  std::thread(watchdog).detach();
  Context c;
  c.work = h.folder + L"work\\" + widen(scenario.name);
  CreateDirectoryW((h.folder + L"work").c_str(), nullptr);
  CreateDirectoryW(c.work.c_str(), nullptr);
  clearFolder(c.work);
  CreateDirectoryW((h.folder + L"plugins").c_str(), nullptr);
  CreateDirectoryW(pluginFolder().c_str(), nullptr);
  DeleteFileW(pluginIniPath().c_str());
  DeleteFileW((pluginFolder() + L"Quadrel.dbg").c_str());
  // The editor's plug-in configuration folder, empty at the start.
  h.configFolder = h.folder + L"plugins\\Config";
  CreateDirectoryW(h.configFolder.c_str(), nullptr);
  clearFolder(h.configFolder);
  say("# scenario " + scenario.name);

  for (const Step& s : scenario.steps) {
    c.step = &s;
    c.next = 1;
    h.currentLine = s.line;
    gStepLine = s.line;
    gStepStart = GetTickCount() | 1;
    try {
      runStep(c);
    } catch (const StepError& e) {
      failCheck(s.line, "step cannot run: " + s.source, "", e.text);
      say(std::to_string(gTally.passed) + " passed, " + std::to_string(gTally.failed) + " failed");
      gStepStart = 0;
      return -1;
    }
    if (GetEnvironmentVariableW(L"QUADREL_HOST_TIMING", nullptr, 0) > 0)
      std::fprintf(stderr, "time line %d: %lu ms\n", s.line, GetTickCount() - (gStepStart.load() & ~1UL));
    gStepStart = 0;
  }
  // Every box must have been expected, every answer used.
  for (const auto& b : h.boxes)
    if (!b.checked)
      failCheck(b.stepLine, "a box that no \"expect box\" checked", "no box", describeBox(b));
  for (const auto& a : h.answers) failCheck(a.line, "an answer that no box used", "a box to answer", "none appeared");
  say(std::to_string(gTally.passed) + " passed, " + std::to_string(gTally.failed) + " failed");
  return gTally.failed;
}

}  // namespace host
