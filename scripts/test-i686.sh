#!/usr/bin/env bash
# Tests the 32-bit Quadrel.dll (build/win32/bin/Quadrel.dll) under 32-bit
# wine, on any machine:
#   scripts/test-i686.sh [--no-plugin]
#       the ABI test, the golden scripts through the library and (unless
#       --no-plugin) the plug-in scenarios; one line per part, then
#       "N passed, M failed"; exit code 1 when a part failed
#   scripts/test-i686.sh -- CMD [ARGS...]
#       runs CMD in the same 32-bit environment, in the same folder of the
#       checkout as here, and exits with its status; a Windows program
#       (PROGRAM.exe) runs under wine, anything else as it is, e.g.
#       scripts/test-i686.sh -- build/abi-win32/abi_test.exe 'Z:\...\Quadrel.dll'
#
# Where the kernel runs 32-bit x86 code, 32-bit wine runs here directly.
# Where it does not, everything runs in a small emulated machine
# (scripts/build-i686-vm.sh builds it once and caches it; one boot per call,
# 15 to 40 s plus the job). QUADREL_I686_VM=1 takes the machine even where
# wine32 runs here.
#
# The programs are built here first (the DLL itself must exist: cmake
# --preset win32 && cmake --build build/win32): the ABI test programs into
# build/abi-win32 and the plug-in test host into build/plugin-host-win32.
# Logs of the parts: build/i686/PART.log.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" test-i686

log() { echo "[test-i686] $*" >&2; }
die() { echo "[test-i686] ERROR: $*" >&2; exit 2; }

here="$(pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${QUADREL_JOBS:-2}"

mode=parts
parts_args=()
command=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --no-plugin) parts_args+=("$1"); shift ;;
    --) mode=command; shift; command=("$@"); break ;;
    -h|--help) sed -n '2,26p' "$0"; exit 0 ;;
    *) die "unknown argument '$1' (see --help)" ;;
  esac
done
[[ $mode == parts || ${#command[@]} -gt 0 ]] || die "no command after --"

export QUADREL_WINE_ARCH=win32
# shellcheck source=wine-env.sh
. scripts/wine-env.sh --no-setup
if [[ "${QUADREL_I686_VM:-0}" != 1 ]] && quadrel_wine_runs; then
  where=native
else
  where=vm
fi

# The folder of the caller, relative to the checkout ("." when outside it).
rel=.
[[ "$here" == "$root" || "$here" == "$root"/* ]] && rel="${here#"$root"}" && rel=".${rel}"

# Windows programs and libraries of the run, to be copied onto the guest's
# disk: wine cannot map them from the shared folder.
pe_files() {
  local f
  for f in "$@"; do
    [[ -f "$f" ]] || continue
    case "$f" in *.exe|*.dll|*.EXE|*.DLL) echo "$(cd "$(dirname "$f")" && pwd)/$(basename "$f")" ;; esac
  done
}

if [[ $mode == parts ]]; then
  [[ -f build/win32/bin/Quadrel.dll ]] ||
    die "build/win32/bin/Quadrel.dll is missing (cmake --preset win32 && cmake --build build/win32)"
  log "building the ABI test programs (build/abi-win32)"
  cmake -S tests/abi -B build/abi-win32 -G Ninja --toolchain "$root/cmake/toolchain-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/abi-win32 -j "$jobs" >/dev/null
  if [[ " ${parts_args[*]} " != *" --no-plugin "* ]]; then
    log "building the plug-in test host (build/plugin-host-win32)"
    bash scripts/test-plugin.sh --arch win32 --build-only
  fi
fi

if [[ $where == native ]]; then
  log "32-bit wine runs on this machine"
  if [[ $mode == parts ]]; then
    status=0
    bash scripts/lib/i686-parts.sh "${parts_args[@]}" || status=$?
    bash scripts/run-wine.sh --stop || true
    exit $status
  fi
  cd "$here"
  case "${command[0]}" in
    *.exe|*.EXE) exec bash "$root/scripts/run-wine.sh" "${command[@]}" ;;
    *) exec "${command[@]}" ;;
  esac
fi

# The emulated machine.
. scripts/lib/i686-vm.sh
t0=$SECONDS
image="$(bash scripts/build-i686-vm.sh)"
log "machine: $image ($((SECONDS - t0)) s)"
job="$(mktemp -d "$QUADREL_CACHE/run/i686-job.XXXXXX")"
trap 'rm -rf "$job"' EXIT
{
  echo "# Written by scripts/test-i686.sh: one wine prefix, display and"
  echo "# persistent wineserver for the whole job (a wineserver per program"
  echo "# would start wine's services again every time)."
  echo "export QUADREL_CACHE=/var/cache/quadrel QUADREL_WINE_ARCH=win32"
  echo ". scripts/wine-env.sh || exit 125"
  echo 'export QUADREL_DISPLAY=$DISPLAY QUADREL_PLUGIN_WINEPREFIX=$WINEPREFIX'
  echo "wineserver -p"
  if [[ $mode == parts ]]; then
    echo "bash scripts/lib/i686-parts.sh ${parts_args[*]}"
  else
    printf 'cd %q || exit 125\n' "$rel"
    case "${command[0]}" in
      *.exe|*.EXE) printf 'bash %q' "$root/scripts/run-wine.sh" ;;
      *) printf 'exec' ;;
    esac
    printf ' %q' "${command[@]}"
    echo
  fi
} >"$job/job.sh"

# The DLL and the test programs built here, and for a command its own
# programs (a Windows path Z:\... is this machine's /...) with the libraries
# beside them.
files=(build/win32/bin/*.dll build/abi-win32/*.exe build/plugin-host-win32/run/quadrel_host.exe
       build/plugin-host-win32/run/plugins/Quadrel/Quadrel.dll)
for arg in "${command[@]}"; do
  if [[ "$arg" == [Zz]:[\\/]* ]]; then
    arg="$(tr '\\' / <<<"${arg:2}")"
  elif [[ "$arg" != /* ]]; then
    arg="$here/$arg"
  fi
  case "$arg" in
    *.exe|*.dll|*.EXE|*.DLL) files+=("$arg" "$(dirname "$arg")"/*.dll) ;;
  esac
done
pe_files "${files[@]}" | sort -u >"$job/pe-files"

log "booting the emulated i686 machine"
status=0
i686_vm_run "$image" "$job" "$root" || status=$?
log "machine done in $((SECONDS - t0)) s"
exit $status
