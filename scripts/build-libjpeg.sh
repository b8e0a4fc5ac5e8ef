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

if [[ -z "${QUADREL_CACHE:-}" ]]; then
  if mkdir -p /var/cache/quadrel 2>/dev/null && [[ -w /var/cache/quadrel ]]; then
    QUADREL_CACHE=/var/cache/quadrel
  else
    QUADREL_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/quadrel"
  fi
fi
mkdir -p "$QUADREL_CACHE/run"

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

as_root() {
  if [[ $EUID -eq 0 ]]; then "$@"
  elif command -v sudo >/dev/null; then sudo -n "$@"
  else return 1
  fi
}

# The source package's version as apt knows it ("" when apt has no sources:
# apt-cache then exits with 100, which is an answer here, not a failure).
source_version() {
  { apt-cache showsrc libjpeg-turbo 2>/dev/null || true; } | awk '/^Version:/ { print $2; exit }'
}

# deb-src entries: the same URIs, suites and components as the deb entries.
enable_deb_src() {
  local src=/etc/apt/sources.list.d/debian.sources dst=/etc/apt/sources.list.d/debian-src.sources
  [[ -f "$src" ]] || return 1
  if [[ ! -f "$dst" ]]; then
    log "adding deb-src entries ($dst)"
    sed 's/^Types:[[:space:]]*deb$/Types: deb-src/' "$src" | as_root tee "$dst" >/dev/null || return 1
  fi
  log "apt-get update (source lists)"
  as_root apt-get update -q >/dev/null
}

complete_cache() {  # a finished build folder for the given version (":" as "_")
  local dir="$QUADREL_CACHE/libjpeg-turbo-$1/$triple"
  [[ -f "$dir/.complete" && "$(cat "$dir/.complete")" == "$compiler_id" && -f "$dir/lib/libjpeg.a" ]]
}

version="$(source_version)"
if [[ -z "$version" ]]; then
  enable_deb_src || log "could not add deb-src entries or update the source lists"
  version="$(source_version)"
fi
if [[ -z "$version" ]]; then
  # No source lists (offline): any finished build will do.
  for dir in $(ls -d "$QUADREL_CACHE"/libjpeg-turbo-* 2>/dev/null | sort -V -r); do
    v="${dir##*/libjpeg-turbo-}"
    if complete_cache "$v"; then
      log "apt knows no libjpeg-turbo sources; using the cached $v"
      echo "$dir/$triple"
      exit 0
    fi
  done
  die "apt knows no source package libjpeg-turbo and nothing is cached"
fi

# The epoch's ":" would be a separator in search paths.
version_dir="${version//:/_}"
out="$QUADREL_CACHE/libjpeg-turbo-$version_dir/$triple"
if complete_cache "$version_dir"; then
  echo "$out"
  exit 0
fi

exec 9>"$QUADREL_CACHE/run/libjpeg-turbo-$triple.lock"
flock -w 1800 9 || die "timed out waiting for another libjpeg-turbo build"
if complete_cache "$version_dir"; then  # built by the other one meanwhile
  echo "$out"
  exit 0
fi

command -v dpkg-source >/dev/null || die "dpkg-dev is missing (scripts/install-deps.sh)"
t0=$SECONDS
work="$(mktemp -d "$QUADREL_CACHE/run/libjpeg-src.XXXXXX")"
trap '[[ -n "${QUADREL_KEEP_WORK:-}" ]] || rm -rf "$work"' EXIT
log "fetching libjpeg-turbo $version source"
# _apt cannot write into a private folder; let it download as the caller.
(cd "$work" && apt-get source -q -o APT::Sandbox::User=root "libjpeg-turbo=$version" >"$work/apt.log" 2>&1) ||
  { tail -20 "$work/apt.log" >&2; die "apt-get source libjpeg-turbo=$version failed"; }
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
