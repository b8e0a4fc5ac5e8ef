#!/usr/bin/env bash
# The parts of scripts/test-i686.sh, run where 32-bit wine runs (this
# machine or the emulated one), in the checkout, after the programs were
# built:
#   bash scripts/lib/i686-parts.sh [--no-plugin]
# Each part's output goes to build/i686/PART.log; one line per part says
# passed or FAILED with the part's own count line (the log's tail follows a
# failure), and the last line is "N passed, M failed" over the parts.
# Exit code 0 when every part passed.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$root"
winpath() { printf 'Z:%s' "$(tr / '\\' <<<"$1")"; }
dll="$(winpath "$root/build/win32/bin/Quadrel.dll")"
logs="$root/build/i686"
mkdir -p "$logs"

passed=0
failed=0
# part NAME COMMAND...: runs the command, its output into NAME.log.
part() {
  local name="$1" t0=$SECONDS rc counts
  shift
  "$@" >"$logs/$name.log" 2>&1
  rc=$?
  counts="$(grep -E '[0-9]+ passed, [0-9]+ failed' "$logs/$name.log" | tail -1)"
  if [[ $rc -eq 0 ]]; then
    passed=$((passed + 1))
    printf '%-15s passed  %4d s  %s\n' "$name" $((SECONDS - t0)) "$counts"
  else
    failed=$((failed + 1))
    printf '%-15s FAILED  %4d s  %s (exit code %d; log: %s)\n' "$name" $((SECONDS - t0)) \
      "${counts:-no count}" "$rc" "build/i686/$name.log"
    tail -60 "$logs/$name.log" | sed 's/^/    /'
  fi
}

part abi-test bash scripts/run-wine.sh build/abi-win32/abi_test.exe "$dll"
part golden-scripts bash scripts/run-wine.sh build/abi-win32/golden_dll.exe "$dll" \
  "$(winpath "$root/tests/scripts")"
if [[ "${1:-}" != --no-plugin ]]; then
  part plugin bash scripts/test-plugin.sh --arch win32 --no-build
fi

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
