#!/usr/bin/env bash
# Proves the README's set-up commands on a plain Debian 12: makes a minimal
# root with debootstrap (variant minbase: no compiler, no test framework),
# copies the committed sources into it and runs there, as root,
#   1. bash scripts/run-example.sh                       (the main job)
#   2. cmake --preset native && cmake --build build/native
#      cmake --install build/native --prefix /usr/local; ldconfig
#      quadrel -e '2+3'                                  (the install section)
# Each step's time is printed and kept in the log. Slow (every package comes
# from Debian's archive): not part of CI.
#   scripts/prove-setup.sh [WORK_DIR]     default: a new folder in /var/tmp
# Environment: QUADREL_MIRROR (default http://deb.debian.org/debian),
# QUADREL_KEEP_ROOT=1 keeps the root afterwards.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" prove-setup
root_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

[[ $EUID -eq 0 ]] || { echo "prove-setup: must run as root (debootstrap and chroot)" >&2; exit 1; }
mirror="${QUADREL_MIRROR:-http://deb.debian.org/debian}"
work="${1:-$(mktemp -d /var/tmp/quadrel-setup-proof.XXXXXX)}"
mkdir -p "$work"
target="$work/root"
log="$work/prove-setup.log"
t0=$SECONDS
say() { echo "[prove-setup $((SECONDS - t0)) s] $*" | tee -a "$log" >&2; }

cleanup() {
  umount "$target/proc" 2>/dev/null || true
  if [[ "${QUADREL_KEEP_ROOT:-0}" != 1 ]]; then rm -rf "$target"; fi
}
trap cleanup EXIT

if ! command -v debootstrap >/dev/null; then
  say "installing debootstrap"
  apt-get -o DPkg::Lock::Timeout=900 install -y -q debootstrap >/dev/null
fi

step_start=$SECONDS
say "debootstrap --variant=minbase bookworm from $mirror"
debootstrap --variant=minbase bookworm "$target" "$mirror" >>"$log" 2>&1
say "plain root ready in $((SECONDS - step_start)) s"
cp /etc/resolv.conf "$target/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$target/proc"

# The committed sources, as a fresh clone would have them.
git -C "$root_dir" archive --format=tar --prefix=quadrel/ HEAD | tar -x -C "$target/root"

in_root() { chroot "$target" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 bash -c "cd /root/quadrel && $1"; }

# A plain root has no test framework; the proof would mean nothing with one.
if in_root "dpkg -s libgtest-dev" >/dev/null 2>&1; then
  say "ERROR: the root already has GoogleTest"; exit 1
fi

step_start=$SECONDS
say "step 1: bash scripts/run-example.sh"
in_root "bash scripts/run-example.sh" >"$work/run-example.out" 2>>"$log"
grep -q "Result => Number" "$work/run-example.out" || { say "ERROR: run-example printed no results"; exit 1; }
say "step 1 passed in $((SECONDS - step_start)) s"

step_start=$SECONDS
say "step 2: cmake --preset native && cmake --build build/native; cmake --install ... --prefix /usr/local"
in_root "cmake --preset native && cmake --build build/native -j ${QUADREL_JOBS:-2} && \
  cmake --install build/native --prefix /usr/local && ldconfig" >>"$log" 2>&1
value="$(in_root "cd / && quadrel -e '2+3'")"
[[ "$value" == "5.0000" ]] || { say "ERROR: the installed quadrel printed '$value' for 2+3"; exit 1; }
in_root "cc -x c - -o /tmp/consumer \$(pkg-config --cflags --libs quadrel) <<<'#include <quadrel.h>
int main(void) { return 0; }' && /tmp/consumer" >>"$log" 2>&1 || { say "ERROR: a C program did not build with pkg-config"; exit 1; }
say "step 2 passed in $((SECONDS - step_start)) s"
say "both set-up commands passed on plain Debian 12 in $((SECONDS - t0)) s (log: $log)"
