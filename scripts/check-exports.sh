#!/usr/bin/env bash
# Checks the export table of a Windows DLL against the list of names it must
# export, and that the DLL needs nothing but Windows system DLLs.
#   scripts/check-exports.sh DLL LIST [HEADER]
# LIST is a module-definition file (names after EXPORTS; ';' starts a comment)
# or a plain list, one name a line. The export table must hold every name of
# the list exactly and nothing else; a decorated name (name@N, _name) is
# reported as such. With HEADER, the functions declared there with QD_CALL
# must be the same set as the list.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" check-exports

if [[ $# -lt 2 || $# -gt 3 ]]; then
  echo "usage: $0 DLL LIST [HEADER]" >&2
  exit 2
fi
dll="$1"; list="$2"; header="${3:-}"
[[ -f "$dll" ]] || { echo "check-exports: no such DLL: $dll" >&2; exit 2; }
[[ -f "$list" ]] || { echo "check-exports: no such list: $list" >&2; exit 2; }

# The objdump of the DLL's own machine (PE machine field at e_lfanew + 4).
pe_offset=$(od -An -t u4 -j 60 -N 4 "$dll" | tr -d ' ')
case "$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$dll" | tr -d ' ')" in
  014c) objdump=i686-w64-mingw32-objdump ;;
  8664) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "check-exports: $dll is not an i386 or x86-64 Windows DLL" >&2; exit 2 ;;
esac
command -v "$objdump" >/dev/null || { echo "check-exports: $objdump not found" >&2; exit 2; }

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Names of the list: the lines after an EXPORTS line if there is one, else
# every line; comments and blank lines dropped; "name @3" and "name=inner"
# give "name".
if grep -q -E '^[[:space:]]*EXPORTS[[:space:]]*$' <(sed 's/;.*//' "$list"); then
  sed 's/;.*//' "$list" | sed -n '/^[[:space:]]*EXPORTS[[:space:]]*$/,$p' | sed 1d
else
  sed 's/;.*//' "$list"
fi | awk 'NF { split($1, f, "="); print f[1] }' | sort >"$tmp/want.raw"
sort -u "$tmp/want.raw" >"$tmp/want"
if [[ $(wc -l <"$tmp/want") -ne $(wc -l <"$tmp/want.raw") ]]; then
  echo "check-exports: names listed twice in $list:" >&2
  uniq -d "$tmp/want.raw" | sed 's/^/  /' >&2
  exit 1
fi
[[ -s "$tmp/want" ]] || { echo "check-exports: $list lists no names" >&2; exit 1; }

"$objdump" -p "$dll" >"$tmp/dump"
# The name table: "[   0] Name" lines after "[Ordinal/Name Pointer] Table".
awk '
  /\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
  inside && /^[ \t]*$/ { inside = 0 }
  inside && /\[ *[0-9]+\]/ { print $NF }' "$tmp/dump" | sort >"$tmp/have"

fail=0
missing="$(comm -23 "$tmp/want" "$tmp/have")"
extra="$(comm -13 "$tmp/want" "$tmp/have")"
if [[ -n "$missing" ]]; then
  fail=1
  echo "check-exports: listed but not exported by $(basename "$dll"):"
  while read -r n; do
    deco="$(grep -E "^_?${n}(@[0-9]+)?$" "$tmp/have" | tr '\n' ' ' || true)"
    if [[ -n "$deco" ]]; then echo "  $n (exported decorated as: $deco)"; else echo "  $n"; fi
  done <<<"$missing"
fi
if [[ -n "$extra" ]]; then
  fail=1
  echo "check-exports: exported but not listed:"
  while read -r n; do
    if [[ "$n" == *@* || "$n" == _* ]]; then echo "  $n (decorated)"; else echo "  $n"; fi
  done <<<"$extra"
fi

# Imports: Windows system DLLs only (runtime libraries must be linked statically).
grep -E '^[[:space:]]*DLL Name:' "$tmp/dump" | awk '{print $3}' | sort -u >"$tmp/imports"
bad_imports="$(grep -v -i -E '^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|shlwapi|comdlg32|comctl32|version|ole32|oleaut32|uuid|ws2_32|winmm|msimg32|imm32|uxtheme|gdiplus|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$' "$tmp/imports" || true)"
if [[ -n "$bad_imports" ]]; then
  fail=1
  echo "check-exports: $(basename "$dll") needs non-system DLLs:"
  sed 's/^/  /' <<<"$bad_imports"
fi

if [[ -n "$header" ]]; then
  [[ -f "$header" ]] || { echo "check-exports: no such header: $header" >&2; exit 2; }
  # Declarations look like: QD_API <type> QD_CALL Name(
  tr '\n' ' ' <"$header" | grep -o -E 'QD_CALL[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*\(' \
    | sed -E 's/QD_CALL[[:space:]]+//; s/[[:space:]]*\($//' | sort -u >"$tmp/declared"
  only_header="$(comm -23 "$tmp/declared" "$tmp/want")"
  only_list="$(comm -13 "$tmp/declared" "$tmp/want")"
  if [[ -n "$only_header" ]]; then
    fail=1
    echo "check-exports: declared in $(basename "$header") but missing from $(basename "$list"):"
    sed 's/^/  /' <<<"$only_header"
  fi
  if [[ -n "$only_list" ]]; then
    # The plug-in interface is not part of the library header; names listed
    # here without a QD_CALL declaration are reported for information only.
    echo "check-exports: listed but not declared with QD_CALL in $(basename "$header") (plug-in interface?):"
    sed 's/^/  /' <<<"$only_list"
  fi
fi

if [[ $fail -ne 0 ]]; then
  echo "check-exports: FAILED ($(wc -l <"$tmp/want") names listed, $(wc -l <"$tmp/have") exported)"
  exit 1
fi
echo "check-exports: OK, $(wc -l <"$tmp/have") exports, imports: $(tr '\n' ' ' <"$tmp/imports")"
