#!/usr/bin/env bash
# Builds the small emulated machine in which 32-bit Windows programs run
# under wine32 on kernels that refuse 32-bit x86 code, and prints its folder:
#   scripts/build-i686-vm.sh
# The machine is Debian (the release of this one) for amd64 with the i386
# architecture added: Debian's kernel, wine32, Xvfb and the tools the test
# scripts use, everything from the mirror in apt's sources. Its root file
# system comes from debootstrap and a chroot, the disk is made with
# mke2fs -d (no loop mounts), and a first boot creates the wine prefix.
# The folder, $QUADREL_CACHE/i686-vm-KEY, holds vmlinuz, initrd.img and
# rootfs.img (about 2.5 GB); KEY is a digest of the recipe (this script,
# wine-env.sh, the release and the mirror), so a changed
# recipe builds a new machine and an unchanged one is reused. Machines of
# other recipes are removed when no run took them for three days. Needs root and about 5 GB free
# in the cache; takes some minutes (scripts/lib/i686-vm.sh runs it).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" build-i686-vm

log() { echo "[build-i686-vm] $*" >&2; }
die() { echo "[build-i686-vm] ERROR: $*" >&2; exit 1; }

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
. "$here/lib/cache.sh"
. "$here/lib/debian-source.sh"
. "$here/lib/i686-vm.sh"

[[ $EUID -eq 0 ]] || die "must run as root (debootstrap, chroot)"
for tool in debootstrap mke2fs qemu-system-x86_64 chroot sha256sum; do
  command -v "$tool" >/dev/null || die "$tool not found (scripts/install-deps.sh all)"
done

# The Debian mirror of apt's own sources (deb822 or one-line form).
debian_mirror() {
  local uri
  uri="$(awk '/^URIs:/ { u = $2 } /^Suites:/ && u != "" && $0 !~ /-security/ { print u; exit }' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)"
  if [[ -z "$uri" ]]; then
    uri="$(awk '$1 == "deb" && $0 !~ /security/ { print ($2 ~ /^\[/ ? $3 : $2); exit }' \
      /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -1)"
  fi
  echo "${uri:-http://deb.debian.org/debian}"
}

suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
mirror="$(debian_mirror)"
# wine32 runs the tests; wine64 and the amd64 loader come with "wine". The
# X libraries and fonts are the ones wine draws with on this machine too.
packages=(
  linux-image-amd64 initramfs-tools kmod
  wine wine32:i386 wine64 fonts-wine fonts-liberation
  libxrender1:i386 libxrandr2:i386 libxcursor1:i386 libxfixes3:i386 libxi6:i386
  libxinerama1:i386 libxcomposite1:i386 libxxf86vm1:i386 libxext6:i386
  xvfb xauth x11-apps imagemagick util-linux procps
)

# The guest's init is not part of the recipe: the machine's copy hands over
# to the checkout's at every boot.
key="$( {
  cat "$0" "$here/wine-env.sh"
  echo "$suite $mirror"
} | sha256sum | cut -c1-16)"
out="$QUADREL_CACHE/i686-vm-$key"

# A machine's ".used" stamp tells when a run last took it.
complete_machine() { [[ -f "$QUADREL_CACHE/i686-vm-$1/.complete" ]] && touch "$QUADREL_CACHE/i686-vm-$1/.used"; }
reuse_finished_build "$out" "i686-vm-$key" complete_machine "$key"

t0=$SECONDS
work="$(mktemp -d "$QUADREL_CACHE/run/i686-vm.XXXXXX")"
target="$work/root"
cleanup() {
  local m
  for m in dev/pts dev proc sys; do umount "$target/$m" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

log "debootstrap $suite from $mirror (minbase)"
debootstrap --variant=minbase --arch=amd64 "$suite" "$target" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -30 "$work/debootstrap.log" >&2; die "debootstrap failed (see above)"; }

log "packages in the chroot: ${packages[*]}"
mount -t proc proc "$target/proc"
mount -t sysfs sys "$target/sys"
mount --bind /dev "$target/dev"
mount --bind /dev/pts "$target/dev/pts"
cp /etc/resolv.conf "$target/etc/resolv.conf" 2>/dev/null || true
# A small initramfs with only what the machine boots from (virtio disk,
# ext4): the generic one takes minutes to make and seconds to unpack under
# emulation.
mkdir -p "$target/etc/initramfs-tools/conf.d"
echo MODULES=list >"$target/etc/initramfs-tools/conf.d/quadrel"
printf '%s\n' virtio_pci virtio_blk ext4 crc32c_generic >"$target/etc/initramfs-tools/modules"
printf '#!/bin/sh\nexit 101\n' >"$target/usr/sbin/policy-rc.d"
chmod +x "$target/usr/sbin/policy-rc.d"
chroot "$target" /bin/bash -c "
  set -e
  export DEBIAN_FRONTEND=noninteractive
  dpkg --add-architecture i386
  apt-get update -q
  apt-get install -y -q --no-install-recommends -o Dpkg::Use-Pty=0 -o Dpkg::Options::=--force-confold \
    ${packages[*]}
  apt-get clean
" >"$work/chroot.log" 2>&1 || { tail -30 "$work/chroot.log" >&2; die "installing the packages failed (see above)"; }
for m in dev/pts dev sys proc; do umount "$target/$m"; done
rm -rf "$target/var/lib/apt/lists"/* "$target/usr/sbin/policy-rc.d"

install -m 755 "$here/lib/i686-guest-init.sh" "$target/usr/local/sbin/quadrel-init"
mkdir -p "$out"
kernel="$(ls "$target"/boot/vmlinuz-* | sort -V | tail -1)"
initrd="$(ls "$target"/boot/initrd.img-* | sort -V | tail -1)"
[[ -f "$kernel" && -f "$initrd" ]] || die "no kernel or initrd in the chroot"
cp "$kernel" "$out/vmlinuz"
cp "$initrd" "$out/initrd.img"

# Room for the wine prefix and what the jobs write besides the files.
size_mb=$(($(du -sm "$target" | cut -f1) + 1536))
log "disk of $size_mb MB (mke2fs -d)"
rm -f "$out/rootfs.img"
mke2fs -q -t ext4 -L quadrel -d "$target" "$out/rootfs.img" "${size_mb}M" >&2 ||
  die "mke2fs failed"
rm -rf "$target"

# First boot: the wine prefix the jobs use, kept on the disk.
log "first boot: creating the wine prefix (some minutes under emulation)"
job="$work/first-boot"
mkdir -p "$job"
cat >"$job/job.sh" <<'EOF'
set -e
export QUADREL_CACHE=/var/cache/quadrel QUADREL_WINE_ARCH=win32
. scripts/wine-env.sh
wineserver -w
"$QUADREL_WINE" --version
EOF
status=0
# Its output goes to stderr: stdout is the folder's name only.
i686_vm_run "$out" "$job" "$root" keep >&2 || status=$?
[[ $status -eq 0 ]] || die "the first boot failed (exit code $status)"
echo "$key" >"$out/.complete"

touch "$out/.used"
# Machines of other recipes (other branches may still use them) go when no
# run took them for three days.
for old in "$QUADREL_CACHE"/i686-vm-*; do
  [[ "$old" != "$out" && -f "$old/.complete" ]] || continue
  if [[ -z "$(find "$old/.used" "$old/.complete" -mtime -3 2>/dev/null)" ]]; then
    log "removing $old (unused for three days)"
    rm -rf "$old"
  fi
done
log "machine ready in $((SECONDS - t0)) s: $out"
echo "$out"
