#!/usr/bin/env bash
# Cold start: the whole-process time of the quadrel program running a one-line
# script, next to bc -l computing the same sum. Prints both in milliseconds.
#
#   bench/cold_start.sh [PROGRAM] [RUNS]
#     PROGRAM  default build/native/bin/quadrel (build it first)
#     RUNS     default 300 per command
#
# With hyperfine (Debian package), each command runs directly, without a
# shell: quadrel -e "Expr = 2+3" and bc -l on a file holding "2+3" and "quit"
# (the same as echo "2+3" | bc -l, less the pipe and the echo). A second pair
# times the pipelines themselves, each started by sh -c, so both include the
# same shell start. Without hyperfine a plain loop times the direct pair.
#
# On a busy machine the mean wanders with the load; the median and the
# minimum are the steadier figures.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
program="${1:-$root/build/native/bin/quadrel}"
runs="${2:-300}"

[[ -x "$program" ]] || { echo "cold_start: $program is not built" >&2; exit 1; }
command -v bc >/dev/null || { echo "cold_start: bc is not installed (apt-get install bc)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '2+3\nquit\n' >"$work/sum.bc"
# Both must compute the sum, or the times mean nothing.
[[ "$(bc -l "$work/sum.bc")" == 5 ]] || { echo "cold_start: bc does not give 5" >&2; exit 1; }
"$program" -e "Expr = 2+3" | grep -q "Number = 5" || { echo "cold_start: quadrel does not give 5" >&2; exit 1; }

# name,mean,median,min in ms from a hyperfine CSV export.
report() {
  awk -F, 'NR > 1 { printf "  %-30s mean %7.3f ms   median %7.3f ms   min %7.3f ms\n", $1, $2 * 1000, $4 * 1000, $7 * 1000 }' "$1"
}

if command -v hyperfine >/dev/null; then
  cd "$work"
  echo "Direct start ($runs runs each, after 3 warm-up runs):"
  hyperfine -N --warmup 3 --runs "$runs" --style none --export-csv direct.csv \
    -n quadrel "$program -e 'Expr = 2+3'" \
    -n bc "bc -l $work/sum.bc" >/dev/null
  report direct.csv
  echo "As pipelines, each in sh -c (the same shell start on both sides):"
  hyperfine -N --warmup 3 --runs "$runs" --style none --export-csv piped.csv \
    -n "echo Expr = 2+3 | quadrel -" "sh -c 'echo \"Expr = 2+3\" | $program - >/dev/null'" \
    -n "echo 2+3 | bc -l" "sh -c 'echo 2+3 | bc -l >/dev/null'" >/dev/null
  report piped.csv
else
  echo "hyperfine not found: a plain loop ($runs runs each; the loop's own fork is included)"
  for name in quadrel bc; do
    best=""
    start=$(date +%s%N)
    for ((k = 0; k < runs; k++)); do
      t0=$(date +%s%N)
      if [[ $name == quadrel ]]; then "$program" -e "Expr = 2+3" >/dev/null; else bc -l "$work/sum.bc" >/dev/null; fi
      t=$(($(date +%s%N) - t0))
      [[ -z "$best" || $t -lt $best ]] && best=$t
    done
    total=$(($(date +%s%N) - start))
    awk -v n="$name" -v t="$total" -v r="$runs" -v b="$best" \
      'BEGIN { printf "  %-30s mean %7.3f ms   min %7.3f ms\n", n, t / r / 1e6, b / 1e6 }'
  done
fi
