#!/usr/bin/env bash
# Builds libjpeg-turbo as a static library for Windows (mingw-w64) from
# Debian's "libjpeg-turbo" source package, for the DLL's JPEG pictures. The
# build lives in the cache, keyed by the package version and the target, and
# is reused:
#   scripts/build-libjpeg.sh [i686|x86_64]    prints the build's folder
# (default i686). The folder, $QUADREL_CACHE/libjpeg-turbo-VERSION/TRIPLE,
# holds lib/libjpeg.a and include/ (jpeglib.h, jconfig.h, jmorecfg.h,
# jerror.h). SIMD code is left out (it would need nasm); the DLL writes one
# small picture per plot. Nothing is written into the checkout. Needs root
# only the first time (deb-src entries, apt-get update); dpkg-dev and cmake
# must be installed (scripts/install-deps.sh).
# Cache base: QUADREL_CACHE, else /var/cache/quadrel when writable, else
# ~/.cache/quadrel (the same rule as wine-env.sh).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" build-libjpeg

log() { echo "[build-libjpeg] $*" >&2; }
die() { echo "[build-libjpeg] ERROR: $*" >&2; exit 1; }

. "$(dirname "${BASH_SOURCE[0]}")/lib/cache.sh"
. "$(dirname "${BASH_SOURCE[0]}")/lib/debian-source.sh"

arch="${1:-i686}"
case "$arch" in
  i686) triple=i686-w64-mingw32; processor=x86 ;;
  x86_64) triple=x86_64-w64-mingw32; processor=AMD64 ;;
  *) die "usage: $0 [i686|x86_64]" ;;
esac
cc="$triple-gcc-posix"
command -v "$cc" >/dev/null || cc="$triple-gcc"
command -v "$cc" >/dev/null || die "$triple-gcc not found (scripts/install-deps.sh)"
command -v cmake >/dev/null || die "cmake not found (scripts/install-deps.sh)"
compiler_id="$("$cc" --version | head -1)"

complete_cache() {  # a finished build folder for the given version (":" as "_")
  local dir="$QUADREL_CACHE/libjpeg-turbo-$1/$triple"
  [[ -f "$dir/.complete" && "$(cat "$dir/.complete")" == "$compiler_id" && -f "$dir/lib/libjpeg.a" ]]
}

version="$(source_package_version libjpeg-turbo)"
if [[ -z "$version" ]]; then
  # No source lists (offline): any finished build will do.
  if dir="$(newest_cached_build libjpeg-turbo "$triple" complete_cache)"; then
    log "apt knows no libjpeg-turbo sources; using the cached build $dir"
    echo "$dir"
    exit 0
  fi
  die "apt knows no source package libjpeg-turbo and nothing is cached"
fi

# The epoch's ":" would be a separator in search paths.
version_dir="${version//:/_}"
out="$QUADREL_CACHE/libjpeg-turbo-$version_dir/$triple"
reuse_finished_build "$out" "libjpeg-turbo-$triple" complete_cache "$version_dir"

t0=$SECONDS
work="$(mktemp -d "$QUADREL_CACHE/run/libjpeg-src.XXXXXX")"
trap '[[ -n "${QUADREL_KEEP_WORK:-}" ]] || rm -rf "$work"' EXIT
fetch_source libjpeg-turbo "$version" "$work"
srcdir="$(ls -d "$work"/libjpeg-turbo-*/ 2>/dev/null | head -1)"
[[ -n "$srcdir" && -f "$srcdir/CMakeLists.txt" && -f "$srcdir/jpeglib.h" ]] ||
  die "no CMakeLists.txt and jpeglib.h in the libjpeg-turbo source"

rm -rf "$out"
mkdir -p "$out/lib" "$out/include"
jobs="$(nproc 2>/dev/null || echo 2)"
log "building libjpeg.a for $triple ($jobs jobs)"
cmake -S "$srcdir" -B "$work/build" -G "Unix Makefiles" \
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$processor" \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_RC_COMPILER="$triple-windres" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$work/install" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DCMAKE_C_FLAGS="-w" \
  >"$work/cmake.log" 2>&1 || { tail -30 "$work/cmake.log" >&2; die "cmake configure failed"; }
cmake --build "$work/build" --target jpeg-static -j"$jobs" >"$work/make.log" 2>&1 ||
  { tail -30 "$work/make.log" >&2; die "make failed"; }
lib="$(find "$work/build" -name 'libjpeg.a' | head -1)"
[[ -n "$lib" ]] || die "the build made no libjpeg.a"
cp "$lib" "$out/lib/libjpeg.a"
cp "$srcdir"/jpeglib.h "$srcdir"/jmorecfg.h "$srcdir"/jerror.h "$work/build/jconfig.h" "$out/include/"
cp "$srcdir/LICENSE.md" "$out/LICENSE.md" 2>/dev/null || true
echo "$compiler_id" >"$out/.complete"
log "built in $((SECONDS - t0)) s: $out"
echo "$out"
