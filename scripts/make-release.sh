#!/usr/bin/env bash
# Builds Quadrel.dll for 32- and 64-bit Windows (presets win32 and win64) and
# writes one zip per architecture under dist/, in the form the editor's
# plug-in managers install: Quadrel.dll at the top of the zip, with
# ShowCmds.otm, readme.txt, license.txt, the user-defined language of scripts
# (Quadrel-udl.xml) and their auto-completion list (Quadrel.xml). Beside each
# zip goes the entry of the editor's plug-in list for it
# (Quadrel-VERSION-ARCH.plugin-list.json: folder-name, display-name, version,
# id = the zip's SHA-256, repository = its download address, description,
# author, homepage). Prints each zip's SHA-256.
#   scripts/make-release.sh            from any directory
#
# The version is the project version of CMakeLists.txt; the DLL's version
# resource carries it (checked here), and so does `quadrel --version`
# (checked when build/native holds the program). The zips are the same bytes
# for the same sources: the files carry the time of the last commit.
# Environment: QUADREL_JOBS (default 2); QUADREL_RELEASE_URL, the address the
# zips are published under (default: the project's releases page below
# QUADREL_HOMEPAGE, default https://quadrel.example.org/), for the plug-in list.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" make-release

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${QUADREL_JOBS:-2}"
note() { echo "[make-release] $*" >&2; }
die() { echo "[make-release] ERROR: $*" >&2; exit 1; }

command -v zip >/dev/null || die "zip is not installed (scripts/install-deps.sh all)"
version="$(sed -n 's/^project(Quadrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[[ -n "$version" ]] || die "no project version found in CMakeLists.txt"
stamp="$(TZ=UTC git log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null || TZ=UTC date +%Y%m%d%H%M.%S)"

if [[ -x build/native/bin/quadrel ]]; then
  program_version="$(build/native/bin/quadrel --version)"
  [[ "$program_version" == "quadrel $version" ]] ||
    die "build/native/bin/quadrel says '$program_version', the sources say $version (rebuild preset native)"
fi

homepage="${QUADREL_HOMEPAGE:-https://quadrel.example.org/}"
release_url="${QUADREL_RELEASE_URL:-${homepage%/}/releases/v$version}"

mkdir -p dist
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Editor-side names of the architectures.
declare -A arch_name=([win32]=x86 [win64]=x64)
declare -A bits=([win32]=32 [win64]=64)
zips=()
for preset in win32 win64; do
  note "building preset $preset"
  cmake --preset "$preset" >/dev/null || { cmake --preset "$preset"; die "configuring preset $preset failed"; }
  cmake --build "build/$preset" -j "$jobs" >/dev/null || die "building preset $preset failed"
  dll="build/$preset/bin/Quadrel.dll"
  [[ -f "$dll" ]] || die "$dll was not built"
  bash scripts/check-exports.sh "$dll" src/exports/quadrel.def include/quadrel.h >/dev/null
  # The version resource holds the version as a UTF-16 text.
  strings -el "$dll" | grep -qxF "$version" || die "the version resource of $dll does not say $version"

  other=win64; [[ "$preset" == win64 ]] && other=win32
  stage="$work/$preset"
  mkdir -p "$stage"
  cp "$dll" resources/ShowCmds.otm packaging/windows/Quadrel-udl.xml packaging/windows/Quadrel.xml "$stage/"
  for text in readme license; do
    sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/${arch_name[$preset]}/g" -e "s/@BITS@/${bits[$preset]}/g" \
        -e "s/@OTHER@/${arch_name[$other]}/g" -e "s/@OTHER_BITS@/${bits[$other]}/g" \
        "packaging/windows/$text.txt" | sed 's/$/\r/' >"$stage/$text.txt"
  done
  TZ=UTC touch -t "$stamp" "$stage"/*
  zip_file="dist/Quadrel-$version-${arch_name[$preset]}.zip"
  rm -f "$zip_file"
  (cd "$stage" && TZ=UTC zip -q -X -D "$root/$zip_file" Quadrel.dll ShowCmds.otm readme.txt license.txt \
    Quadrel-udl.xml Quadrel.xml)
  zips+=("$zip_file")
  python3 scripts/lib/plugin-list-entry.py "$zip_file" "$version" "$release_url/${zip_file#dist/}" "$homepage" \
    >"${zip_file%.zip}.plugin-list.json"
done

note "release $version:"
(cd dist && sha256sum "${zips[@]#dist/}")
