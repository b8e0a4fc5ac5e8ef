#!/usr/bin/env bash
# Builds the win32 part of Scintilla (static library, mingw-w64 with posix
# threads) from Debian's "scite" source package, for the plug-in tests' host.
# The build lives in the cache, keyed by the package version and the target,
# and is reused:
#   scripts/build-scintilla.sh [i686|x86_64]    prints the build's folder
# (default i686; x86_64 serves kernels that run no 32-bit code, see
# scripts/test-all.sh). The folder, $QUADREL_CACHE/scintilla-VERSION/TRIPLE-npp,
# holds lib/libscintilla.a and include/*.h. Nothing is written
# into the checkout. Needs root only the first time (deb-src entries,
# apt-get update); dpkg-dev must be installed (scripts/install-deps.sh).
# Cache base: QUADREL_CACHE, else /var/cache/quadrel when writable, else
# ~/.cache/quadrel (the same rule as wine-env.sh).
# The records with a character range (SCI_GETTEXTRANGE, SCI_FINDTEXT, ...)
# get the editor's layout: Notepad++ builds its Scintilla with positions as
# wide as a pointer there (Scintilla's own sources say "long", which is 32
# bits in 64-bit Windows code), so the host meets what plug-ins meet.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" build-scintilla

log() { echo "[build-scintilla] $*" >&2; }
die() { echo "[build-scintilla] ERROR: $*" >&2; exit 1; }

. "$(dirname "${BASH_SOURCE[0]}")/lib/cache.sh"
. "$(dirname "${BASH_SOURCE[0]}")/lib/debian-source.sh"

arch="${1:-i686}"
case "$arch" in
  i686|x86_64) triple="$arch-w64-mingw32" ;;
  *) die "usage: $0 [i686|x86_64]" ;;
esac
cxx="$triple-g++-posix"
command -v "$cxx" >/dev/null || die "$cxx not found (scripts/install-deps.sh)"
compiler_id="$("$cxx" --version | head -1)"

flavour="$triple-npp"  # the editor's record layout, see above

complete_cache() {  # a finished build folder for the given version
  local dir="$QUADREL_CACHE/scintilla-$1/$flavour"
  [[ -f "$dir/.complete" && "$(cat "$dir/.complete")" == "$compiler_id" && -f "$dir/lib/libscintilla.a" ]]
}

version="$(source_package_version scite)"
if [[ -z "$version" ]]; then
  # No source lists (offline): any finished build will do.
  if dir="$(newest_cached_build scintilla "$flavour" complete_cache)"; then
    log "apt knows no scite sources; using the cached build $dir"
    echo "$dir"
    exit 0
  fi
  die "apt knows no source package scite and nothing is cached"
fi

out="$QUADREL_CACHE/scintilla-$version/$flavour"
reuse_finished_build "$out" "scintilla-$flavour" complete_cache "$version"

t0=$SECONDS
work="$(mktemp -d "$QUADREL_CACHE/run/scintilla-src.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fetch_source scite "$version" "$work"
srcdir="$(ls -d "$work"/scite-*/scintilla 2>/dev/null | head -1)"
[[ -n "$srcdir" && -f "$srcdir/win32/makefile" ]] || die "no scintilla/win32/makefile in the scite source"

# Character ranges with pointer-sized positions, as in the editor's Scintilla.
widen_ranges() {
  local file="$srcdir/include/$1" pattern="$2" replacement="$3"
  [[ -f "$file" ]] || die "no $1 in the scite source"
  grep -q "$pattern" "$file" || die "$1 has no '$pattern' (the character range type changed?)"
  sed -i "s/$pattern/$replacement/" "$file"
}
widen_ranges Sci_Position.h '^typedef long Sci_PositionCR;' 'typedef ptrdiff_t Sci_PositionCR;'
if [[ -f "$srcdir/include/ScintillaStructures.h" ]]; then
  widen_ranges ScintillaStructures.h 'using PositionCR = long;' 'using PositionCR = intptr_t;'
fi

rm -rf "$out"
mkdir -p "$out/obj" "$out/lib" "$out/include"
jobs="$(nproc 2>/dev/null || echo 2)"
log "building libscintilla.a for $triple ($(cat "$srcdir/version.txt" 2>/dev/null || echo '?'), $jobs jobs)"
make -C "$srcdir/win32" -j"$jobs" \
  CXX="$cxx" AR="$triple-ar" RANLIB="$triple-ranlib" WINDRES="$triple-windres" \
  DIR_O="$out/obj" DIR_BIN="$out/lib" CXXFLAGS="-w" \
  "$out/lib/libscintilla.a" >"$work/make.log" 2>&1 ||
  { tail -30 "$work/make.log" >&2; die "make failed"; }
cp "$srcdir"/include/*.h "$out/include/"
cp "$srcdir/version.txt" "$out/scintilla-version.txt"
cp "$srcdir/License.txt" "$out/License.txt"
rm -rf "$out/obj"
echo "$compiler_id" >"$out/.complete"
log "built in $((SECONDS - t0)) s: $out"
echo "$out"
