#!/usr/bin/env bash
# Plug-in tests: runs every scenario of tests/plugin/scenarios (or the ones
# named) in the test host under wine, with a real Scintilla.
#   scripts/test-plugin.sh [--arch win32|win64] [--shots DIR] [--build-only|--no-build]
#                          [SCENARIO.txt...]
#
# 1. Scintilla from the cache (scripts/build-scintilla.sh builds it once);
# 2. the host (tests/plugin/host) cross-built into build/plugin-host-ARCH;
# 3. build/ARCH/bin/Quadrel.dll copied to HOST/plugins/Quadrel/Quadrel.dll;
# 4. each scenario in a fresh host process; screenshots the host asks for
#    are taken with xwd while it waits (PNG files in DIR, default
#    build/plugin-host-ARCH/shots).
# --arch: win32 (default where the kernel runs 32-bit x86 code) or win64 (an
# x86-64 build of the same sources, for kernels that do not); the DLL of that
# architecture must have been built (cmake --preset win32 / --preset win64).
# --build-only does steps 1-3 and stops; --no-build runs the scenarios in
# what an earlier --build-only left (scripts/test-i686.sh splits the two when
# the scenarios run in the emulated 32-bit machine, which builds nothing).
# Exit code 0 when every scenario passed.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" test-plugin

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
log() { echo "[test-plugin] $*" >&2; }
die() { echo "[test-plugin] ERROR: $*" >&2; exit 2; }

arch=""
phase=""
shots=""
scenarios=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --arch) arch="$2"; shift 2 ;;
    --shots) shots="$2"; shift 2 ;;
    --build-only|--no-build) phase="$1"; shift ;;
    -h|--help) sed -n '2,21p' "$0"; exit 0 ;;
    *) scenarios+=("$1"); shift ;;
  esac
done

export QUADREL_WINE_ARCH=win32
# shellcheck source=wine-env.sh
. scripts/wine-env.sh --no-setup
if [[ -z "$arch" ]]; then
  if quadrel_wine_runs; then arch=win32; else arch=win64; fi
fi
case "$arch" in
  win32) triple=i686 bits=32 ;;
  win64) triple=x86_64 bits=64 ;;
  *) die "--arch win32|win64" ;;
esac
dll="$root/build/$arch/bin/Quadrel.dll"
[[ -f "$dll" ]] || die "$dll is missing (build the $arch DLL first)"
jobs="${QUADREL_JOBS:-2}"
build="$root/build/plugin-host-$arch"
hostdir="$build/run"

# Steps 1-3: Scintilla, the host, the DLL in the host's plugins folder.
build_host() {
  local t0=$SECONDS scintilla
  scintilla="$(bash scripts/build-scintilla.sh "$triple")"
  log "Scintilla: $scintilla ($((SECONDS - t0)) s)"
  cmake -S tests/plugin/host -B "$build" -G Ninja --toolchain "$root/cmake/toolchain-mingw$bits.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DSCINTILLA_DIR="$scintilla" >/dev/null
  cmake --build "$build" -j "$jobs" >/dev/null || cmake --build "$build" -j 1
  mkdir -p "$hostdir/plugins/Quadrel"
  cp "$build/quadrel_host.exe" "$hostdir/"
  cp "$dll" "$hostdir/plugins/Quadrel/Quadrel.dll"
}
case "$phase" in
  --build-only) build_host; exit 0 ;;
  --no-build)
    [[ -f "$hostdir/quadrel_host.exe" && -f "$hostdir/plugins/Quadrel/Quadrel.dll" ]] ||
      die "$hostdir holds no host and plug-in (run with --build-only first)"
    ;;
  *) build_host ;;
esac

if [[ ${#scenarios[@]} -eq 0 ]]; then
  shopt -s nullglob
  scenarios=(tests/plugin/scenarios/*.txt)
  shopt -u nullglob
  [[ ${#scenarios[@]} -gt 0 ]] || die "no scenarios in tests/plugin/scenarios"
fi
shots="${shots:-$build/shots}"
mkdir -p "$shots"
shots="$(cd "$shots" && pwd)"
rm -f "$shots"/*.req "$shots"/*.done "$shots"/*.fail

# A display and a wine prefix of our own: other wine users on this machine
# (scripts/test-all.sh, run-wine.sh) stop their Xvfb and wineserver when they
# are done, which must not end a scenario half-way.
private_xvfb=""
if [[ -z "${QUADREL_DISPLAY:-}" ]]; then
  for num in $(seq 160 220); do
    [[ -e "/tmp/.X$num-lock" || -e "/tmp/.X11-unix/X$num" ]] && continue
    setsid Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    private_xvfb=$!
    for _ in $(seq 1 100); do
      [[ -S "/tmp/.X11-unix/X$num" ]] && break
      kill -0 "$private_xvfb" 2>/dev/null || break
      sleep 0.1
    done
    if [[ -S "/tmp/.X11-unix/X$num" ]]; then
      export QUADREL_DISPLAY=":$num"
      break
    fi
    kill "$private_xvfb" 2>/dev/null || true
    private_xvfb=""
  done
  [[ -n "$private_xvfb" ]] || die "could not start Xvfb on any display :160..:220"
fi
export QUADREL_WINE_ARCH=$arch
export QUADREL_WINEPREFIX="${QUADREL_PLUGIN_WINEPREFIX:-$QUADREL_CACHE/$arch-plugin-prefix}"
# shellcheck source=wine-env.sh
. scripts/wine-env.sh --no-setup
quadrel_display
quadrel_wineprefix
winpath() { printf 'Z:%s' "$(tr / '\\' <<<"$1")"; }
# No window manager runs on our display: wine would wait 2 s for one at every
# box that closes. Unmanaged windows (for the host only) need no waiting.
"$QUADREL_WINE" reg add 'HKCU\Software\Wine\AppDefaults\quadrel_host.exe\X11 Driver' \
  /v Managed /d N /f >/dev/null 2>&1 || log "could not switch window management off (boxes will be slow)"

# Screenshot requests: NAME.req holds an X window id; the PNG is NAME.png,
# then NAME.done (or NAME.fail) tells the host it may go on.
watch_shots() {
  local req name id
  while [[ -e "$shots/.watching" ]]; do
    for req in "$shots"/*.req; do
      [[ -e "$req" ]] || continue
      name="${req%.req}"
      id="$(tr -dc '0-9' <"$req")"
      rm -f "$req"
      if [[ -n "$id" ]] && xwd -display "$DISPLAY" -id "$id" -silent 2>/dev/null | convert xwd:- "$name.png" 2>/dev/null; then
        touch "$name.done"
      else
        touch "$name.fail"
      fi
    done
    sleep 0.1
  done
}
touch "$shots/.watching"
watch_shots &
watcher=$!
cleanup() {
  rm -f "$shots/.watching"
  wait "$watcher" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [[ -n "$private_xvfb" ]] && kill "$private_xvfb" 2>/dev/null || true
}
trap cleanup EXIT

passed=0
failed=()
for scenario in "${scenarios[@]}"; do
  [[ -f "$scenario" ]] || die "no such scenario: $scenario"
  name="$(basename "$scenario" .txt)"
  scenario_win="$(winpath "$(cd "$(dirname "$scenario")" && pwd)/$(basename "$scenario")")"
  t1=$SECONDS
  set +e
  (cd "$hostdir" && timeout --kill-after=10 "${QUADREL_PLUGIN_TIMEOUT:-300}" \
    "$QUADREL_WINE" quadrel_host.exe "$scenario_win" \
    --shots "$(winpath "$shots")") >"$build/$name.log" 2>&1
  rc=$?
  set -e
  # The host's own lines; wine's noise on stderr is kept in the log only.
  grep -E '^(ok |FAIL|note|# |[0-9]+ passed|       (expected|actual):)' "$build/$name.log" || true
  if [[ $rc -eq 0 ]]; then
    passed=$((passed + 1))
    log "$name: passed ($((SECONDS - t1)) s)"
  else
    failed+=("$name")
    [[ $rc -eq 124 ]] && log "$name: timed out"
    log "$name: FAILED (exit code $rc, $((SECONDS - t1)) s, log: $build/$name.log)"
  fi
done

echo "plug-in scenarios ($arch): $passed passed, ${#failed[@]} failed${failed:+: ${failed[*]}}"
echo "screenshots: $shots"
[[ ${#failed[@]} -eq 0 ]]
