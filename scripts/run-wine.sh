#!/usr/bin/env bash
# Runs one Windows program under wine with our display and prefix and exits
# with the program's own exit code.
#   scripts/run-wine.sh PROGRAM.exe [ARGS...]
#   scripts/run-wine.sh --stop     ends our Xvfb and wineserver (the display
#                                  otherwise stays up for the next run)
# The program's PE header picks 32- or 64-bit wine. QUADREL_WINE_TIMEOUT
# (seconds, default 600) ends a program that hangs, e.g. on a message box
# nobody answers: exit code 124 then.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" run-wine
if [[ $# -lt 1 ]]; then
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
fi
if [[ "$1" == "--stop" ]]; then
  # shellcheck source=wine-env.sh
  . "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" --no-setup
  quadrel_wine_stop
  exit 0
fi
prog="$1"; shift
[[ -f "$prog" ]] || { echo "run-wine: no such program: $prog" >&2; exit 2; }

# PE machine field: at offset e_lfanew (a 32-bit value at 0x3c) + 4.
pe_machine() {
  local off
  off=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  od -An -t x2 -j $((off + 4)) -N 2 "$1" | tr -d ' '
}
case "$(pe_machine "$prog")" in
  014c) export QUADREL_WINE_ARCH=win32 ;;
  8664) export QUADREL_WINE_ARCH=win64 ;;
  *) echo "run-wine: $prog is not an i386 or x86-64 Windows program" >&2; exit 2 ;;
esac

# shellcheck source=wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

set +e
timeout --kill-after=10 "${QUADREL_WINE_TIMEOUT:-600}" "$QUADREL_WINE" "$prog" "$@"
rc=$?
set -e
if [[ $rc -eq 124 ]]; then
  echo "run-wine: $prog timed out after ${QUADREL_WINE_TIMEOUT:-600} s" >&2
  wineserver -k 2>/dev/null || true
fi
exit $rc
