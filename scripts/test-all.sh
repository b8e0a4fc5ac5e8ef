#!/usr/bin/env bash
# The one command that builds everything and runs every test (CI runs it).
#   scripts/test-all.sh            from any directory
#
# Steps, stopping at the first failure:
#   deps         scripts/install-deps.sh all
#   native       preset native: build, ctest
#   native-asan  preset native-asan: build, ctest
#   win32        presets win32 and win64: build both Quadrel.dll, check their
#                export tables and imports
#   abi-native   tests/abi against build/native/lib/libquadrel.so: the ABI test
#                and the golden scripts through the script entry (golden_dll)
#   abi-windows  tests/abi under 64-bit wine against build/win64/bin/Quadrel.dll
#   plugin       scripts/test-plugin.sh: every tests/plugin/scenarios/*.txt in the
#                test host with a real Scintilla under 64-bit wine
#   abi-i686     scripts/test-i686.sh: the ABI test, the golden scripts and the
#                plug-in scenarios against build/win32/bin/Quadrel.dll under
#                32-bit wine, here where the kernel runs 32-bit x86 code, else in
#                a small emulated machine (built once, cached); with
#                the scenarios only with QUADREL_I686_PLUGIN=1; then
#                tests/i686/test-runner.sh ("test-i686.sh -- CMD" for others)
#   fuzz         preset fuzz: each build/fuzz/bin/fuzz_* for a short while
#
# Environment: QUADREL_JOBS (default 2), QUADREL_FUZZ_SECONDS (default 20),
# QUADREL_I686_PLUGIN (default 0: the scenarios in the emulated machine
# are not yet part of every run; 1 adds them).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" test-all

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

jobs="${QUADREL_JOBS:-2}"
fuzz_seconds="${QUADREL_FUZZ_SECONDS:-20}"
t_all=$SECONDS
summary=()
current=""
step_start=0

banner() { printf '\n==== %s ====\n' "$*"; }
note() { echo "[test-all] $*"; }

step() {
  current="$1"
  step_start=$SECONDS
  banner "$1: $2"
}
done_step() {
  summary+=("$(printf '%-12s ok     %4d s  %s' "$current" $((SECONDS - step_start)) "${1:-}")")
  current=""
}

print_summary() {
  banner "summary"
  local line
  for line in "${summary[@]}"; do echo "  $line"; done
}

wine_started=""
on_exit() {
  local rc=$?
  if [[ -n "$wine_started" ]]; then
    (quadrel_wine_stop) >/dev/null 2>&1 || true
  fi
  if [[ $rc -ne 0 && -n "$current" ]]; then
    summary+=("$(printf '%-12s FAILED %4d s' "$current" $((SECONDS - step_start)))")
    print_summary
    echo
    echo "test-all: FAILED in step '$current' (exit code $rc); see the output above that step's summary."
  fi
  exit $rc
}
trap on_exit EXIT

# Configures (once) and builds a preset; further arguments go to the configure step.
build_preset() {
  cmake --preset "$1" "${@:2}" >/dev/null || { note "configuring preset $1 failed; again with output:"; cmake --preset "$1" "${@:2}"; return 1; }
  cmake --build "build/$1" -j "$jobs"
}

run_ctest() {
  ctest --test-dir "$1" --output-on-failure -j "$jobs" --no-tests=error
}

# A Windows path (Z: is the whole Unix file system under wine).
winpath() { printf 'Z:%s' "$(tr / '\\' <<<"$1")"; }

# ---------------------------------------------------------------------------
step deps "install dependencies"
bash scripts/install-deps.sh all
done_step

step native "build and unit tests (preset native)"
build_preset native -DQUADREL_TESTS=ON
run_ctest build/native
done_step

step native-asan "build and unit tests with AddressSanitizer and UBSan (preset native-asan)"
build_preset native-asan -DQUADREL_TESTS=ON
run_ctest build/native-asan
done_step

step win32 "Quadrel.dll for 32- and 64-bit Windows (presets win32, win64), export tables and imports"
for preset in win32 win64; do
  build_preset "$preset"
  [[ -f "build/$preset/bin/Quadrel.dll" ]] || { note "build/$preset/bin/Quadrel.dll was not built"; exit 1; }
  bash scripts/check-exports.sh "build/$preset/bin/Quadrel.dll" src/exports/quadrel.def include/quadrel.h
done
done_step "(win32, win64)"

step abi-native "ABI test and golden scripts (C) against build/native/lib/libquadrel.so"
cmake -S tests/abi -B build/abi-native -G Ninja >/dev/null
cmake --build build/abi-native -j "$jobs"
build/abi-native/abi_test "$root/build/native/lib/libquadrel.so"
build/abi-native/golden_dll "$root/build/native/lib/libquadrel.so" "$root/tests/scripts"
done_step

step abi-windows "ABI test and golden scripts (C) under 64-bit wine"
# shellcheck source=wine-env.sh
QUADREL_WINE_ARCH=win64 . scripts/wine-env.sh --no-setup
wine_started=1
cmake -S tests/abi -B build/abi-win64 -G Ninja --toolchain "$root/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/abi-win64 -j "$jobs"
bash scripts/run-wine.sh build/abi-win64/abi_test.exe "$(winpath "$root/build/win64/bin/Quadrel.dll")"
bash scripts/run-wine.sh build/abi-win64/golden_dll.exe "$(winpath "$root/build/win64/bin/Quadrel.dll")" \
  "$(winpath "$root/tests/scripts")"
done_step "(win64)"

step plugin "plug-in scenarios in the test host under 64-bit wine"
bash scripts/test-plugin.sh --arch win64
done_step "(win64)"

step abi-i686 "the 32-bit Quadrel.dll under 32-bit wine (scripts/test-i686.sh)"
i686_args=()
i686_parts="ABI test, golden scripts, plug-in scenarios"
if [[ "${QUADREL_I686_PLUGIN:-0}" == 0 ]]; then
  i686_args+=(--no-plugin)
  i686_parts="ABI test, golden scripts; no plug-in scenarios"
fi
bash scripts/test-i686.sh "${i686_args[@]}"
bash tests/i686/test-runner.sh
done_step "($i686_parts)"

step fuzz "fuzz targets, ${fuzz_seconds} s each (preset fuzz)"
build_preset fuzz
shopt -s nullglob
targets=(build/fuzz/bin/fuzz_*)
shopt -u nullglob
if [[ ${#targets[@]} -eq 0 ]]; then
  note "no fuzz targets in build/fuzz/bin"
fi
fuzz_work="$(mktemp -d)"
for target in "${targets[@]}"; do
  [[ -x "$target" ]] || continue
  name="$(basename "$target")"; name="${name#fuzz_}"
  # New inputs go to a scratch corpus; the seeds in the checkout stay as they are.
  mkdir -p "$fuzz_work/$name" "$fuzz_work/$name-crashes"
  args=(-max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$fuzz_work/$name-crashes/")
  [[ -f "tests/fuzz/$name.dict" ]] && args+=(-dict="$root/tests/fuzz/$name.dict")
  dirs=("$fuzz_work/$name")
  # Absolute: a target may change its working folder.
  [[ -d "tests/fuzz/corpus/$name" ]] && dirs+=("$root/tests/fuzz/corpus/$name")
  note "running $target"
  if ! "$target" "${args[@]}" "${dirs[@]}" >"$fuzz_work/$name.log" 2>&1; then
    tail -60 "$fuzz_work/$name.log"
    note "fuzz target $name failed; its crash inputs are in $fuzz_work/$name-crashes/"
    exit 1
  fi
  grep -E '^(stat::number_of_executed_units|Done )' "$fuzz_work/$name.log" | sed 's/^/  /' || true
done
rm -rf "$fuzz_work"
done_step "(${#targets[@]} targets)"

print_summary
echo
echo "test-all: all steps passed in $((SECONDS - t_all)) s"
