#!/usr/bin/env bash
# Long fuzz runs whose executions add up over sessions.
#   scripts/fuzz.sh [minutes]      every target for that long (default 10)
#
# Builds the preset fuzz and runs each build/fuzz/bin/fuzz_* for the given
# minutes on a corpus kept under the cache folder
# ($QUADREL_CACHE/fuzz/corpus/NAME), seeded from tests/fuzz/corpus/NAME, so
# each run starts where the last one stopped. The executions of every run are
# added to $QUADREL_CACHE/fuzz/counts (one line per target: name, total
# executions, runs); the totals are printed at the end. A crash stops the
# script with the target's log; the crashing input is kept in
# $QUADREL_CACHE/fuzz/crashes/NAME/.
# Environment: QUADREL_JOBS (default 2), QUADREL_CACHE (see scripts/lib/cache.sh).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" fuzz
. "$(dirname "${BASH_SOURCE[0]}")/lib/cache.sh"

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

minutes="${1:-10}"
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [[ "$minutes" -lt 1 ]]; then
  echo "usage: scripts/fuzz.sh [minutes]   (a whole number of minutes, at least 1)" >&2
  exit 2
fi
jobs="${QUADREL_JOBS:-2}"
note() { echo "[fuzz] $*"; }

cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j "$jobs"

store="$QUADREL_CACHE/fuzz"
counts="$store/counts"
mkdir -p "$store/corpus" "$store/crashes" "$store/logs"
touch "$counts"

shopt -s nullglob
targets=(build/fuzz/bin/fuzz_*)
shopt -u nullglob
[[ ${#targets[@]} -gt 0 ]] || { note "no fuzz targets in build/fuzz/bin"; exit 1; }

for target in "${targets[@]}"; do
  [[ -x "$target" ]] || continue
  name="$(basename "$target")"; name="${name#fuzz_}"
  corpus="$store/corpus/$name"
  crashes="$store/crashes/$name"
  log="$store/logs/$name.log"
  mkdir -p "$corpus" "$crashes"
  args=(-max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$crashes/")
  [[ -f "tests/fuzz/$name.dict" ]] && args+=(-dict="$root/tests/fuzz/$name.dict")
  # The kept corpus first: new inputs are written there, the seeds in the
  # checkout stay as they are.
  dirs=("$corpus")
  [[ -d "tests/fuzz/corpus/$name" ]] && dirs+=("$root/tests/fuzz/corpus/$name")
  note "running $name for $minutes min"
  if ! "$target" "${args[@]}" "${dirs[@]}" >"$log" 2>&1; then
    tail -60 "$log"
    note "fuzz target $name failed; its crash inputs are in $crashes/"
    exit 1
  fi
  executed="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  executed="${executed:-0}"
  # name total runs, one line per target
  awk -v n="$name" -v add="$executed" '
    $1 == n { $2 += add; $3 += 1; found = 1 } { print }
    END { if (!found) print n, add, 1 }' "$counts" >"$counts.new"
  mv "$counts.new" "$counts"
done

note "executions so far (target, total, runs), kept in $counts:"
sort "$counts" | while read -r n total runs; do printf '  %-16s %12s  %s runs\n' "$n" "$total" "$runs"; done
