// The records and message numbers of the host editor's plug-in interface and
// of its editing component, as the host publishes them (the same sources
// give the 32-bit and the 64-bit layout).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace quadrel::plugin {

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

using PluginCommand = void(__cdecl*)();

constexpr int kMenuItemNameSize = 64;

// The host's notification that it is closing (NPPN_FIRST + 9), sent to
// beNotified while its windows still exist.
constexpr unsigned int NPPN_SHUTDOWN = 1000 + 9;

struct FuncItem {
  wchar_t itemName[kMenuItemNameSize];
  PluginCommand function;
  int commandId;
  bool initiallyChecked;
  ShortcutKey* shortcut;
};

// The notification record of the editing component (the fields read here).
struct SciNotifyHeader {
  HWND hwndFrom;
  uintptr_t idFrom;
  unsigned int code;
};

struct SciNotification {
  SciNotifyHeader header;
  intptr_t position;
  int ch;
  int modifiers;
  int modificationType;
  const char* text;
  intptr_t length;
  intptr_t linesAdded;
  int message;
  uintptr_t wParam;
  intptr_t lParam;
  intptr_t line;
  int foldLevelNow;
  int foldLevelPrev;
  int margin;
  int listType;
  int x;
  int y;
};

// The editor reads these records with its own layout in 32- and 64-bit builds.
static_assert(sizeof(ShortcutKey) == 4, "ShortcutKey: four bytes");
static_assert(sizeof(FuncItem) == (sizeof(void*) == 4 ? 144 : 152), "FuncItem: the editor's layout");
static_assert(offsetof(SciNotification, x) == (sizeof(void*) == 4 ? 72 : 120), "SCNotification: the editor's layout");
static_assert(sizeof(SciNotification) == (sizeof(void*) == 4 ? 80 : 128), "SCNotification up to y");

// Host messages.
constexpr UINT NPPM_GETCURRENTSCINTILLA = 2028;  // kMainView, or 1 for the second view
constexpr UINT NPPM_MODELESSDIALOG = 2036;       // wParam kModelessDialogAdd/Remove, lParam the window
constexpr WPARAM kModelessDialogAdd = 0;
constexpr WPARAM kModelessDialogRemove = 1;
constexpr UINT NPPM_RELOADFILE = 2060;
constexpr UINT NPPM_GETPLUGINSCONFIGDIR = 2070;
constexpr UINT NPPM_DOOPEN = 2101;
constexpr UINT NPPM_GETFULLCURRENTPATH = 4025;
constexpr UINT NPPM_GETFULLPATHFROMBUFFERID = 2082;  // wParam the buffer, lParam null (length) or the buffer

// Host notifications (idFrom: the document's buffer).
constexpr unsigned NPPN_FILEBEFORECLOSE = 1003;
constexpr unsigned NPPN_FILESAVED = 1008;
constexpr unsigned NPPN_BUFFERACTIVATED = 1010;

constexpr int kMainView = 0;

// Editing component messages.
constexpr UINT SCI_INSERTTEXT = 2003;
constexpr UINT SCI_GETCURRENTPOS = 2008;
constexpr UINT SCI_GOTOPOS = 2025;
constexpr UINT SCI_GETCOLUMN = 2129;
constexpr UINT SCI_GETLINEENDPOSITION = 2136;
constexpr UINT SCI_GETCODEPAGE = 2137;
constexpr UINT SCI_GETMODIFY = 2159;
constexpr UINT SCI_GETSELECTIONSTART = 2143;
constexpr UINT SCI_GETSELECTIONEND = 2145;
constexpr UINT SCI_GETLINE = 2153;
constexpr UINT SCI_GETSELTEXT = 2161;
constexpr UINT SCI_GETCHARAT = 2007;
constexpr UINT SCI_GETTEXTRANGEFULL = 2039;
constexpr UINT SCI_LINEFROMPOSITION = 2166;
constexpr UINT SCI_POSITIONFROMLINE = 2167;
constexpr UINT SCI_SETTARGETSTART = 2190;
constexpr UINT SCI_SETTARGETEND = 2192;
constexpr UINT SCI_SEARCHINTARGET = 2197;
constexpr UINT SCI_SETSEARCHFLAGS = 2198;
constexpr UINT SCI_CALLTIPSHOW = 2200;
constexpr UINT SCI_CALLTIPCANCEL = 2201;
constexpr UINT SCI_CALLTIPACTIVE = 2202;
constexpr UINT SCI_SETMOUSEDWELLTIME = 2264;
constexpr UINT SCI_GETMOUSEDWELLTIME = 2265;
constexpr UINT SCI_LINELENGTH = 2350;
constexpr int SCFIND_WHOLEWORD = 2;
constexpr unsigned SCN_SAVEPOINTREACHED = 2002;
constexpr unsigned SCN_SAVEPOINTLEFT = 2003;
constexpr unsigned SCN_DWELLSTART = 2016;
constexpr unsigned SCN_DWELLEND = 2017;
constexpr int kUtf8CodePage = 65001;

// The text-range record of SCI_GETTEXTRANGEFULL: positions as wide as a
// pointer on both architectures (the older SCI_GETTEXTRANGE record has
// 32-bit positions in some builds of the component and pointer-sized ones in
// others, so it is not used).
struct SciTextRangeFull {
  intptr_t first;
  intptr_t last;
  char* text;
};
static_assert(sizeof(SciTextRangeFull) == 3 * sizeof(void*), "the component's layout");

}  // namespace quadrel::plugin
