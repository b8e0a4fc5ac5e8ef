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

# Per command over the rounds' CSV exports: the mean of the means, the median
# of the medians and the least minimum, in ms.
report() {
  awk -F, 'FNR > 1 {
      if (!($1 in n)) order[++names] = $1
      n[$1]++; mean[$1] += $2; med[$1, n[$1]] = $4
      if (!($1 in low) || $7 < low[$1]) low[$1] = $7
    }
    END {
      for (k = 1; k <= names; k++) {
        c = order[k]; m = n[c]
        for (i = 1; i <= m; i++) for (j = i + 1; j <= m; j++)
          if (med[c, j] < med[c, i]) { t = med[c, i]; med[c, i] = med[c, j]; med[c, j] = t }
        mid = m % 2 ? med[c, (m + 1) / 2] : (med[c, m / 2] + med[c, m / 2 + 1]) / 2
        printf "  %-30s mean %7.3f ms   median %7.3f ms   min %7.3f ms\n", c, mean[c] / m * 1000, mid * 1000, low[c] * 1000
      }
    }' "$@"
}

# The load of a shared machine drifts: the pair is timed in rounds, in turn
# first and second, so that both see the same drift.
rounds=5
compare() {  # tag, then hyperfine's -n NAME COMMAND pairs for the two sides
  local tag="$1" r
  shift
  for ((r = 0; r < rounds; r++)); do
    if ((r % 2)); then set -- "$4" "$5" "$6" "$1" "$2" "$3"; fi
    hyperfine -N --warmup 3 --runs $(((runs + rounds - 1) / rounds)) --style none \
      --export-csv "$work/$tag.$r.csv" "$@" >/dev/null 2>"$work/errors" || { cat "$work/errors" >&2; exit 1; }
    if ((r % 2)); then set -- "$4" "$5" "$6" "$1" "$2" "$3"; fi
  done
  report "$work/$tag".*.csv
}

if command -v hyperfine >/dev/null; then
  cd "$work"
  echo "Direct start ($runs runs each in $rounds rounds, 3 warm-up runs a round):"
  compare direct -n quadrel "$program -e 'Expr = 2+3'" -n bc "bc -l $work/sum.bc"
  echo "As pipelines, each in sh -c (the same shell start on both sides):"
  compare piped -n "echo Expr = 2+3 | quadrel -" "sh -c 'echo \"Expr = 2+3\" | $program - >/dev/null'" \
    -n "echo 2+3 | bc -l" "sh -c 'echo 2+3 | bc -l >/dev/null'"
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
