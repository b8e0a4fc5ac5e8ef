#!/usr/bin/env bash
# Installs everything the builds and tests need on Debian 12, as root.
# Idempotent: a second run only checks and returns in well under a second.
#   scripts/install-deps.sh [SET]
# SET: "native" (what building the native program and library needs: the main
# job, scripts/run-example.sh) or "all" (default: every build and test,
# scripts/test-all.sh).
#
# Windows programs run under wine: 64-bit ones with wine64 everywhere, 32-bit
# ones with wine32 where the kernel runs 32-bit x86 code and else in a small
# emulated machine (qemu, debootstrap; scripts/test-i686.sh).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" install-deps

log() { echo "[install-deps] $*" >&2; }
die() { echo "[install-deps] ERROR: $*" >&2; exit 1; }

t_start=$SECONDS
export DEBIAN_FRONTEND=noninteractive

set_name="${1:-all}"
case "$set_name" in
  native|all) ;;
  *) die "unknown set '$set_name' (native or all)" ;;
esac

# Building the native program and library.
# Plot images: cairo draws them (with a Debian font standing in for the
# Windows label font), libjpeg-turbo writes them; libedit gives the
# interactive program its line editing.
native_packages=(cmake ninja-build g++ pkg-config libedit-dev libcairo2-dev libjpeg-dev fonts-dejavu-core)
test_packages=(
  # native tests, sanitizers, fuzzing and benchmarks
  clang libclang-rt-14-dev libgtest-dev libbenchmark-dev libmuparser-dev libginac-dev libeigen3-dev bc hyperfine
  # Windows cross builds (i686 ships, x86-64 for kernels without 32-bit
  # support) and their tests under wine
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb x11-apps imagemagick
  # the emulated machine that runs 32-bit wine where the kernel runs no
  # 32-bit x86 code (scripts/build-i686-vm.sh, scripts/test-i686.sh)
  qemu-system-x86 debootstrap e2fsprogs
  # unpacking Debian source packages of third-party code for the Windows side
  dpkg-dev
  # the release zips (scripts/make-release.sh) and the check of their
  # plug-in list entries against the list's schema
  zip python3-jsonschema
  # Debian's checks of the package (tests/install/test-install.sh --deb)
  lintian
  # used by the scripts themselves (flock, setsid, timeout)
  util-linux coreutils
)
packages=("${native_packages[@]}")
native_tools=(cmake ninja g++ pkg-config)
tools=("${native_tools[@]}")
if [[ "$set_name" == all ]]; then
  packages+=("${test_packages[@]}")
  tools+=(clang clang++ i686-w64-mingw32-g++-posix i686-w64-mingw32-windres
          i686-w64-mingw32-objdump x86_64-w64-mingw32-g++-posix wine wineserver Xvfb
          flock setsid timeout qemu-system-x86_64 debootstrap mke2fs)
fi

# Prints the packages of the arguments that are not installed. One dpkg-query
# call answers the usual case (all installed); the slow per-package look-up
# runs only when something is missing.
missing_packages() {
  local p status installed
  installed="$(dpkg-query -W -f='${db:Status-Abbrev}\n' "$@" 2>/dev/null | grep -c '^ii ' || true)"
  [[ "$installed" -eq $# ]] && return 0
  for p in "$@"; do
    status="$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)"
    [[ "$status" == "ii "* ]] || echo "$p"
  done
}

as_root() {
  if [[ $EUID -eq 0 ]]; then "$@"
  elif command -v sudo >/dev/null; then sudo -n "$@"
  else die "must run as root to: $*"
  fi
}

# 1. i386 packages (wine32)
if [[ "$set_name" == all ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  log "adding the i386 architecture"
  as_root dpkg --add-architecture i386
fi

# 2. packages: only when something is missing; then with fresh lists, as
# stale ones may name versions the archive no longer has.
mapfile -t missing < <(missing_packages "${packages[@]}")
if [[ ${#missing[@]} -gt 0 ]]; then
  log "installing: ${missing[*]}"
  as_root apt-get update -q >/dev/null || die "apt-get update failed"
  as_root apt-get install -y -q -o Dpkg::Use-Pty=0 "${missing[@]}" >/tmp/quadrel-apt.log 2>&1 ||
    { tail -30 /tmp/quadrel-apt.log >&2; die "apt-get install failed (log: /tmp/quadrel-apt.log)"; }
  mapfile -t still < <(missing_packages "${packages[@]}")
  [[ ${#still[@]} -eq 0 ]] || die "still missing after install: ${still[*]}"
fi

# 3. tools the scripts call by name
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || die "$tool not found after installation"
done

if [[ "$set_name" == all ]]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    log "32-bit Windows programs run here (wine32)"
  else
    log "note: this kernel runs no 32-bit x86 code; 32-bit Windows programs run in the emulated machine (scripts/test-i686.sh)"
  fi
fi
log "set '$set_name' ready in $((SECONDS - t_start)) s"
