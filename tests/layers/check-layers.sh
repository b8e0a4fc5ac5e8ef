#!/usr/bin/env bash
# The include rules of the core's layers: the subsystems beneath the
# evaluator's callers never include the evaluator or the script layer, text/
# stands on nothing else of the core but the limits header, ground/ only on
# text/, the limits and the engine,
# and no core file includes a platform header of Windows.
# Usage: check-layers.sh ROOT (the source tree) | --self-test
set -u

check() {
  local core="$1/src/core" failed=0 hits
  report() {  # rule, offending lines
    if [ -n "$2" ]; then
      printf '%s\n%s\n' "$1" "$2" >&2
      failed=1
    fi
  }
  local below=()
  for d in matrix diff numeric plot text diag ground lang; do
    [ -d "$core/$d" ] && below+=("$core/$d")
  done
  hits=$(grep -rnE '#include "core/(eval|script)/' "${below[@]}" 2>/dev/null)
  report "Beneath the evaluator and the script layer, a file includes one of them:" "$hits"
  hits=$(grep -rnE '#include "core/' "$core/text" 2>/dev/null | grep -vE '#include "core/(text/|limits\.h")')
  report "text/ includes another part of the core:" "$hits"
  hits=$(grep -rnE '#include "core/' "$core/ground" 2>/dev/null |
    grep -vE '#include "core/(text/|ground/|engine\.h"|limits\.h")')
  report "ground/ includes a subsystem:" "$hits"
  hits=$(grep -rniE '#include [<"](windows\.h|platform/win32/)' "$core" 2>/dev/null)
  report "The core includes a Windows header:" "$hits"
  return $failed
}

self_test() {
  local tree status=0
  tree=$(mktemp -d) || return 1
  mkdir -p "$tree/src/core/plot" "$tree/src/core/text" "$tree/src/core/ground" "$tree/src/core/matrix"
  printf '#include "core/engine.h"\n#include "core/ground/error_table.h"\n' >"$tree/src/core/ground/a.cpp"
  check "$tree" 2>/dev/null || { echo "self-test: a clean tree was refused" >&2; status=1; }
  local planted
  for planted in 'plot/a.cpp:#include "core/script/file_probe.h"' 'matrix/a.cpp:#include "core/eval/evaluator.h"' \
    'text/a.cpp:#include "core/diag/debug_log.h"' 'ground/b.cpp:#include "core/eval/lexer.h"' \
    'plot/b.cpp:#include <windows.h>'; do
    local file="${planted%%:*}" line="${planted#*:}"
    printf '%s\n' "$line" >"$tree/src/core/$file"
    if check "$tree" 2>/dev/null; then
      echo "self-test: not caught: $file: $line" >&2
      status=1
    fi
    rm "$tree/src/core/$file"
  done
  rm -rf "$tree"
  return $status
}

if [ "${1:-}" = --self-test ]; then
  self_test
else
  check "${1:?usage: check-layers.sh ROOT | --self-test}"
fi
