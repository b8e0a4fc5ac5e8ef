#!/usr/bin/env bash
# Checks what "scripts/test-i686.sh -- CMD" promises other test programs:
# the command's output and exit status come back, it runs in the same
# folder of the checkout as the caller, Windows programs run under 32-bit
# wine, and a file the command writes into the checkout is there afterwards.
# Each case is one run (one boot where the emulated machine is used).
#   tests/i686/test-runner.sh        (after scripts/test-i686.sh built the
#                                     ABI test programs into build/abi-win32)
# Prints one line per case and "N passed, M failed"; exit code 1 on failure.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
runner="$root/scripts/test-i686.sh"
out_file="$root/build/i686/runner-probe.txt"
mkdir -p "$root/build/i686"
rm -f "$out_file"

passed=0
failed=0
# check NAME FOLDER WANT_STATUS WANT_LINE CMD...: runs CMD through the runner
# from FOLDER; the status must be WANT_STATUS and the output must hold the
# line WANT_LINE.
check() {
  local name="$1" folder="$2" want_status="$3" want_line="$4" output status
  shift 4
  # Windows programs end their lines with CR LF.
  output="$(cd "$folder" && bash "$runner" -- "$@" 2>/dev/null | tr -d '\r')"
  status=$?
  if [[ $status -eq $want_status ]] && grep -qxF -- "$want_line" <<<"$output"; then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name: exit code $status (want $want_status), want the line \"$want_line\" in:"
    sed 's/^/       /' <<<"$output" | tail -20
  fi
}

# A 32-bit Windows program, its status and its last line: the ABI test
# refuses a library that is not there.
check "windows program: output and status" "$root" 1 "0 passed, 1 failed" \
  build/abi-win32/abi_test.exe 'Z:\no\such\Quadrel.dll'
# A shell command from a folder inside the checkout: same folder, its status,
# 32-bit wine at hand, and a file it writes comes back.
check "command: folder, status, wine32, files" "$root/tests/scripts" 3 \
  "tests/scripts wine32 ok" \
  bash -c 'printf "%s wine32 %s\n" "${PWD#'"$root"'/}" "$(/usr/lib/wine/wine --version >/dev/null && echo ok)";
           echo probe >'"$out_file"'; exit 3'
if [[ "$(cat "$out_file" 2>/dev/null)" == probe ]]; then
  passed=$((passed + 1))
  echo "ok   command: the file it wrote is in the checkout"
else
  failed=$((failed + 1))
  echo "FAIL command: $out_file was not written"
fi

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
