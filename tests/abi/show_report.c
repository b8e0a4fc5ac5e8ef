/* Shows the memory report in the library's messages window and keeps the
 * window up for a while, so that it can be captured and looked at
 * (scripts/screenshot-messages.sh). Windows only; a manual check, no test.
 *
 *   show_report [LIBRARY [SECONDS]]   default: Quadrel.dll, 3 seconds
 *
 * Defines a variable and a user function (SetVarFunct), then runs
 * otmEvalMain(" /sm "): the report's lines appear numbered in the list box of
 * the top-level window "Quadrel Plugin for Notepad++". Prints "report shown"
 * once the window exists, and exits 1 when it does not.
 */
#include "quadrel.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

typedef int32_t(QD_CALL* pf_SetVarFunct)(const qd_char*, const qd_char*, int32_t);
typedef int32_t(QD_CALL* pf_otmEvalMain)(const qd_char*);
_Static_assert(_Generic(&SetVarFunct, pf_SetVarFunct: 1, default: 0), "SetVarFunct differs from quadrel.h");
_Static_assert(_Generic(&otmEvalMain, pf_otmEvalMain: 1, default: 0), "otmEvalMain differs from quadrel.h");

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "Quadrel.dll";
  const double seconds = argc > 2 ? atof(argv[2]) : 3.0;
  setvbuf(stdout, NULL, _IONBF, 0);

  HMODULE library = LoadLibraryA(path);
  if (!library) {
    printf("LoadLibraryA(%s) failed: error %lu\n", path, (unsigned long)GetLastError());
    return 1;
  }
  pf_SetVarFunct set_var_funct = (pf_SetVarFunct)(void (*)(void))GetProcAddress(library, "SetVarFunct");
  pf_otmEvalMain eval_main = (pf_otmEvalMain)(void (*)(void))GetProcAddress(library, "otmEvalMain");
  if (!set_var_funct || !eval_main) {
    printf("the library has no SetVarFunct or otmEvalMain\n");
    return 1;
  }

  set_var_funct(L"rate", L"2.5", 0);
  set_var_funct(L"total", L"40", 0);
  set_var_funct(L"area", L"rate*total", 1);
  const int32_t status = eval_main(L" /sm ");
  printf("otmEvalMain(\" /sm \") = %d\n", (int)status);

  HWND window = FindWindowW(NULL, L"Quadrel Plugin for Notepad++");
  if (!window) {
    printf("no window \"Quadrel Plugin for Notepad++\"\n");
    return 1;
  }
  printf("report shown\n");

  /* Pumps messages so that the window paints, until the time is up. */
  const ULONGLONG end = GetTickCount64() + (ULONGLONG)(seconds * 1000);
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
  }
  return 0;
}
