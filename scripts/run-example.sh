#!/usr/bin/env bash
# The main job: installs what is needed, builds the native program and runs
# the example script with it.
#   scripts/run-example.sh [SCRIPT]     default: examples/demo.otm
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" run-example
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

script="${1:-examples/demo.otm}"
[[ -f "$script" ]] || { echo "run-example: no such script: $script" >&2; exit 1; }

bash scripts/install-deps.sh native
cmake --preset native >/dev/null
# Only the program: the tests and the library are built by scripts/test-all.sh.
cmake --build build/native -j "${QUADREL_JOBS:-2}" --target quadrel_cli

program=build/native/bin/quadrel
if [[ ! -x "$program" ]]; then
  echo "run-example: $program was not built (does src/cli/main.cpp exist yet?)" >&2
  exit 1
fi
echo "\$ $program $script" >&2
# quadrel exits with 3 when the run finished but some commands failed: the
# example shows such a line on purpose, so that counts as a good run here.
status=0
"$program" "$script" || status=$?
case $status in
  0) ;;
  3) echo "run-example: the run finished; its failed commands are reported in the results" >&2 ;;
  *) echo "run-example: $program ended with exit status $status" >&2; exit "$status" ;;
esac
