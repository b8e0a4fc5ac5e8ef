#!/usr/bin/env bash
# Runs the examples of the README's quadrel section and compares what they
# print with what the README shows. An example is an indented line
# "    $ COMMAND"; the indented lines after it, up to the next example or the
# first line that is not indented, are its standard output.
#   tests/readme/check-readme-examples.sh README.md BIN_DIR
set -euo pipefail
[[ $# -eq 2 ]] || { echo "usage: $0 README.md BIN_DIR" >&2; exit 2; }
readme="$1"
bin="$(cd "$2" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

count=0 failed=0
check() {
  local command="$1" expected="$2" actual
  count=$((count + 1))
  mkdir -p "$tmp/$count"
  actual="$(cd "$tmp/$count" && HOME="$tmp/$count" PATH="$bin:$PATH" bash -c "$command" 2>/dev/null || true)"
  if [[ "$actual" != "$expected" ]]; then
    failed=$((failed + 1))
    echo "README example $count differs: \$ $command" >&2
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") >&2 || true
  fi
}

command="" expected="" in_example=0
while IFS= read -r line || [[ -n "$line" ]]; do
  if [[ "$line" == "    \$ "* ]]; then
    [[ $in_example -eq 1 ]] && check "$command" "$expected"
    command="${line#    \$ }" expected="" in_example=1
  elif [[ $in_example -eq 1 && "$line" == "    "* ]]; then
    expected+="${expected:+$'\n'}${line#    }"
  elif [[ $in_example -eq 1 ]]; then
    check "$command" "$expected"
    in_example=0
  fi
done <"$readme"
[[ $in_example -eq 1 ]] && check "$command" "$expected"

[[ $count -gt 0 ]] || { echo "no examples found in $readme" >&2; exit 1; }
[[ $failed -eq 0 ]] || { echo "$failed of $count README examples differ" >&2; exit 1; }
echo "README examples: $count ran as shown"
