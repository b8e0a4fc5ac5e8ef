#!/usr/bin/env bash
# A picture of the messages window with the memory report, under wine: a
# manual check (look at the PNG), not a CI step.
#   scripts/screenshot-messages.sh [OUT.png]     default /tmp/messages_window.png
#
# Builds tests/abi (show_report.exe) for the DLL of the abi-windows step of
# test-all.sh (win32, or win64 on kernels that run no 32-bit x86 code), runs
# it on our Xvfb display and captures the window "Quadrel Plugin for
# Notepad++" by its own id.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" screenshot-messages
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
out="${1:-/tmp/messages_window.png}"

# shellcheck source=wine-env.sh
export QUADREL_WINE_ARCH=win32
. scripts/wine-env.sh --no-setup
if ! quadrel_wine_runs; then
  export QUADREL_WINE_ARCH=win64
  . scripts/wine-env.sh --no-setup
fi
arch=$QUADREL_WINE_ARCH
dll="build/$arch/bin/Quadrel.dll"
[[ -f "$dll" ]] || { echo "screenshot-messages: $dll is missing (bash scripts/test-all.sh builds it)" >&2; exit 1; }
cmake -S tests/abi -B "build/abi-$arch" -G Ninja --toolchain "$root/cmake/toolchain-mingw${arch#win}.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "build/abi-$arch" --target show_report >/dev/null
quadrel_display
quadrel_wineprefix

"$QUADREL_WINE" "build/abi-$arch/show_report.exe" "Z:$(tr / '\\' <<<"$root/$dll")" 10 &
prog=$!
id=""
for _ in $(seq 1 150); do
  id="$(xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | grep '"Quadrel Plugin' | awk '{print $1}' | head -1 || true)"
  [[ -n "$id" ]] && break
  kill -0 "$prog" 2>/dev/null || break
  sleep 0.2
done
if [[ -z "$id" ]]; then
  echo "screenshot-messages: no window \"Quadrel Plugin for Notepad++\" on $DISPLAY" >&2
  wait "$prog" || true
  exit 1
fi
sleep 1 # let it paint
xwd -display "$DISPLAY" -id "$id" | convert xwd:- "$out"
wait "$prog" || true
echo "screenshot-messages: window $id on $DISPLAY -> $out"
