// The test host: a stand-in of the editor that loads the plug-in the way the
// editor does, hosts real Scintilla views, answers the editor messages the
// plug-in sends, and records and answers every box the plug-in shows.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace host {

// The plug-in interface records, 32-bit layout, as the editor publishes them.
struct NppData {
  HWND nppHandle;
  HWND scintillaMainHandle;
  HWND scintillaSecondHandle;
};

struct ShortcutKey {
  bool isCtrl;
  bool isAlt;
  bool isShift;
  unsigned char key;
};

struct FuncItem {
  wchar_t itemName[64];
  void(__cdecl* function)();
  int commandId;
  bool initiallyChecked;
  ShortcutKey* shortcut;
};

static_assert(sizeof(ShortcutKey) == 4, "ShortcutKey is 4 bytes");
static_assert(sizeof(void*) != 4 || sizeof(FuncItem) == 144, "FuncItem is 144 bytes in 32-bit code");

constexpr UINT NPPM_GETCURRENTSCINTILLA = 2028;
constexpr UINT NPPM_RELOADFILE = 2060;
constexpr UINT NPPM_GETPLUGINSCONFIGDIR = 2070;
constexpr UINT NPPM_DOOPEN = 2101;
constexpr UINT NPPM_MODELESSDIALOG = 2036;
constexpr WPARAM kModelessDialogAdd = 0;
// The editor's File > Exit command.
constexpr int kExitCommand = 41011;
constexpr UINT NPPM_GETFULLCURRENTPATH = 4025;
// NPPN_FIRST + 9
constexpr UINT kNppnShutdown = 1000 + 9;

// First command number of the plug-in's menu items (item k gets base + k).
constexpr int kPluginCommandBase = 22001;
// Command numbers of the "?" menu, the last submenu of the menu bar.
constexpr int kHelpMenuFirst = 47001;
constexpr int kHelpMenuLast = 47003;

// One box the plug-in showed.
struct BoxRecord {
  std::string kind;  // "message" or "input"
  std::string caption;
  std::string text;         // the message, or the prompt of an input box
  std::string defaultText;  // input box: the edit field's text when it appeared
  std::string filter;       // file dialog: the file type shown
  std::string folder;       // file dialog: the folder shown
  std::string buttons;      // "OK", "Yes No", "Yes No Cancel", "OK Cancel", ...
  std::string answer;       // what the host pressed or typed
  int stepLine = 0;         // scenario line running when it appeared
  RECT rect{};              // where the box appeared (screen)
  RECT mainRect{};          // the main window at that moment
  bool unexpected = false;  // no answer was queued for it
  bool checked = false;     // matched by an "expect box"
};

// An answer queued for the next box.
struct QueuedAnswer {
  int button = IDOK;   // IDOK, IDCANCEL, IDYES, IDNO
  bool input = false;  // type text into an input box, then press OK
  std::string text;
  int line = 0;
};

// A document in a background tab: its path and the component document.
struct BackgroundDocument {
  std::wstring path;
  uintptr_t doc = 0;
  intptr_t caret = 0;  // restored when the tab comes forward, as the editor does
};

struct Host {
  HINSTANCE instance = nullptr;
  std::wstring folder;       // the program's folder, with a trailing "\"
  std::wstring shotsFolder;  // where screenshot requests go ("" = none)
  HWND main = nullptr, view = nullptr, second = nullptr, controller = nullptr;
  HWND scratch = nullptr;  // hidden view that reads files into documents
  HMENU bar = nullptr, pluginsMenu = nullptr, ourMenu = nullptr;
  int pluginsPosition = -1;
  HACCEL accelerators = nullptr;
  WNDPROC viewProc = nullptr;  // Scintilla's own procedure of the main view
  int initialDwellTime = 500;

  // The plug-in.
  HMODULE plugin = nullptr;
  void(__cdecl* setInfo)(NppData) = nullptr;
  const wchar_t*(__cdecl* getName)() = nullptr;
  FuncItem*(__cdecl* getFuncsArray)(int*) = nullptr;
  void(__cdecl* beNotified)(void*) = nullptr;
  LRESULT(__cdecl* messageProc)(UINT, WPARAM, LPARAM) = nullptr;
  BOOL(__cdecl* isUnicode)() = nullptr;
  std::wstring pluginName;
  FuncItem* items = nullptr;
  int itemCount = 0;
  std::vector<std::string> loadOrder;  // the interface calls, in the order made

  // Editor state answered to the plug-in.
  std::wstring currentPath;                    // of the document shown in the main view
  std::vector<BackgroundDocument> background;  // the other open documents (each held once)
  int currentView = 0;
  std::vector<std::wstring> reloads;
  std::vector<bool> reloadAlerts;  // NPPM_RELOADFILE asked to warn first
  std::vector<HWND> modeless;      // windows registered with NPPM_MODELESSDIALOG
  int modelessAdds = 0;
  int exitRequests = 0;             // the editor's "Exit" command (Alt+F4 in its main window)
  std::vector<std::wstring> opens;  // NPPM_DOOPEN requests
  std::wstring configFolder;        // answered to NPPM_GETPLUGINSCONFIGDIR (no trailing "\")
  bool pluginFolderReadOnly = false;
  std::vector<unsigned> notifications;  // codes of WM_NOTIFY that reached the host
  std::vector<int> commands;            // ids of WM_COMMAND that reached the host

  // Observations.
  int callTipShows = 0;
  std::string callTipBytes;
  intptr_t callTipPosition = -1;
  std::vector<std::string> debugLines;  // debug output of the process (UTF-8)

  // Boxes.
  std::deque<QueuedAnswer> answers;
  std::vector<BoxRecord> boxes;
  int currentLine = 0;

  // Screenshot in progress (driven by a timer so it also runs inside menu loops).
  struct Shot {
    bool active = false;
    std::string name;
    std::vector<std::string> pending;   // request names not answered yet
    std::vector<std::string> menuPath;  // menu mode: captions from the bar ("Plugins", ...)
    size_t level = 1;                   // menu mode: the popup being worked on
    bool keysSent = false;
    bool levelCaptured = false;
    DWORD started = 0;  // of the current phase
    DWORD settleFrom = 0;
    bool requested = false;
    std::string error;
    std::vector<std::string> written;  // PNG names reported done
  } shot;
};

Host& theHost();

// Creates the windows, the menu bar and the views. Gives false on failure.
bool createHost(HINSTANCE instance, std::string& error);
// Loads plugins\Quadrel\Quadrel.dll from the program's folder and calls the
// plug-in interface in the editor's order; builds the plug-in's submenu and
// the accelerators.
bool loadPlugin(std::string& error);
void unloadPlugin();
// Sends NPPN_SHUTDOWN to the plug-in's beNotified, as the editor does before
// it unloads its plug-ins.
void notifyShutdown();
void destroyHost();

// Handles waiting messages (with the accelerators) until the queue has been
// empty for idleMs or maxMs have passed.
void pump(int idleMs = 80, int maxMs = 30000);

// Document helpers (main view).
int codePage();
std::string documentBytes();
std::wstring documentText();
LRESULT sci(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Debug output capture (vectored exception handler).
void captureDebugOutput();

// Screenshots, finished by a timer (which also runs inside menu loops).
// Without a menu path: the main window and any call tip. With one: opens the
// menus along the path with the keyboard (Alt, Right to the menu on the bar,
// Down, then Down to each item and Right to open it), captures every popup
// on the way with the wanted item highlighted, and closes the menus. Without
// a screenshots folder the menus are still opened and closed.
void startShot(const std::string& name, const std::vector<std::string>& menuPath);

// A menu caption as the user reads it: "&" marks removed ("&&" gives "&").
std::string plainCaption(const std::wstring& caption);

// The folder of the plug-in, with a trailing "\".
std::wstring pluginFolder();

// The menu reached from the menu bar through the captions given (compared
// without their "&" marks).
HMENU menuByPath(const std::vector<std::string>& path, std::string& error);

}  // namespace host
