/* Runs a script of plots through the library and keeps the plot windows up
 * for a while, so that they can be captured and looked at
 * (scripts/screenshot-plots.sh). Windows only; a manual check, no test.
 *
 *   show_plots LIBRARY SCRIPT [SECONDS [SAVE]]
 *
 * Runs otmEvalMain(" /i SCRIPT /o SCRIPT.out ") (with " /spl:0 " when SAVE
 * is 1: the windows are then saved as aPlotNr_NN.jpg pictures and closed),
 * prints the result file's name and pumps messages until the time is up.
 */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

#include "quadrel.h"

typedef int32_t(QD_CALL* pf_otmEvalMain)(const qd_char*);
_Static_assert(_Generic(&otmEvalMain, pf_otmEvalMain : 1, default : 0), "otmEvalMain differs from quadrel.h");

int main(int argc, char** argv) {
  if (argc < 3) {
    printf("usage: show_plots LIBRARY SCRIPT [SECONDS [SAVE]]\n");
    return 2;
  }
  const double seconds = argc > 3 ? atof(argv[3]) : 3.0;
  const int save = argc > 4 && atoi(argv[4]) == 1;
  setvbuf(stdout, NULL, _IONBF, 0);

  HMODULE library = LoadLibraryA(argv[1]);
  if (!library) {
    printf("LoadLibraryA(%s) failed: error %lu\n", argv[1], (unsigned long)GetLastError());
    return 1;
  }
  pf_otmEvalMain eval_main = (pf_otmEvalMain)(void (*)(void))GetProcAddress(library, "otmEvalMain");
  if (!eval_main) {
    printf("the library has no otmEvalMain\n");
    return 1;
  }
  wchar_t line[1200];
  swprintf(line, 1200, L" /i %hs /o %hs.out %ls", argv[2], argv[2], save ? L"/spl:0 " : L"");
  const int32_t status = eval_main(line);
  printf("otmEvalMain = %d, results in %s.out\n", (int)status, argv[2]);
  printf("plots shown\n");

  const ULONGLONG end = GetTickCount64() + (ULONGLONG)(seconds * 1000);
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
  FreeLibrary(library);
  return 0;
}
