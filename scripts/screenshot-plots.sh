#!/usr/bin/env bash
# Pictures of plot windows under wine: a manual check (look at the PNGs and
# JPEGs), not a CI step.
#   scripts/screenshot-plots.sh [OUTDIR]     default /tmp/plot-shots
#
# Runs four plots (x^2 on 0..10, t^3 on -1..1, sin(x)/x with a failing
# point, a constant) through the DLL of the abi-windows step of test-all.sh
# (win32, or win64 on kernels that run no 32-bit x86 code): once with the
# windows left open, captured one by one as OUTDIR/window_K.png, and once
# with /spl:0, whose pictures aPlotNr_NN.jpg (written beside the DLL, or in
# its folder Quadrel) are copied to OUTDIR.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" screenshot-plots
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
out="${1:-/tmp/plot-shots}"
mkdir -p "$out"

# shellcheck source=wine-env.sh
export QUADREL_WINE_ARCH=win32
. scripts/wine-env.sh --no-setup
if ! quadrel_wine_runs; then
  export QUADREL_WINE_ARCH=win64
  . scripts/wine-env.sh --no-setup
fi
arch=$QUADREL_WINE_ARCH
dll="build/$arch/bin/Quadrel.dll"
[[ -f "$dll" ]] || { echo "screenshot-plots: $dll is missing (bash scripts/test-all.sh builds it)" >&2; exit 1; }
cmake -S tests/abi -B "build/abi-$arch" -G Ninja --toolchain "$root/cmake/toolchain-mingw${arch#win}.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "build/abi-$arch" --target show_plots >/dev/null
quadrel_display
quadrel_wineprefix

script="$out/plots.otm"
printf '%s\r\n' "Plot(0; x; 10; 100) = x^2" "Plot(-1; t; 1; 4) = t^3" "Plot(-5; x; 5; 100) = sin(x)/x" \
  "Plot(-3; x; 3; 30) = 2" >"$script"
winpath() { echo "Z:$(tr / '\\' <<<"$1")"; }

# 1. Windows left open: capture each by its own id.
"$QUADREL_WINE" "build/abi-$arch/show_plots.exe" "$(winpath "$root/$dll")" "$(winpath "$script")" 12 0 &
prog=$!
for k in 1 2 3 4; do
  id=""
  for _ in $(seq 1 150); do
    id="$(xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | grep "\"aPlot #$k\"" | awk '{print $1}' | head -1 || true)"
    [[ -n "$id" ]] && break
    kill -0 "$prog" 2>/dev/null || break
    sleep 0.2
  done
  if [[ -z "$id" ]]; then
    echo "screenshot-plots: no window \"aPlot #$k\" on $DISPLAY" >&2
    continue
  fi
  sleep 1 # let it paint
  xwd -display "$DISPLAY" -id "$id" | convert xwd:- "$out/window_$k.png"
  echo "screenshot-plots: window aPlot #$k ($id) -> $out/window_$k.png"
done
wait "$prog" || true

# 2. Saved pictures: the newest aPlotNr_*.jpg beside the DLL.
folder="$(dirname "$dll")"
[[ -d "$folder/Quadrel" ]] && folder="$folder/Quadrel"
rm -f "$folder"/aPlotNr_*.jpg
"$QUADREL_WINE" "build/abi-$arch/show_plots.exe" "$(winpath "$root/$dll")" "$(winpath "$script")" 1 1 || true
cp "$folder"/aPlotNr_*.jpg "$out/" 2>/dev/null || echo "screenshot-plots: no saved pictures in $folder" >&2
cat "$script.out" 2>/dev/null | tr -d '\r' | grep -E "Plot|FileName" || true
ls -l "$out"
