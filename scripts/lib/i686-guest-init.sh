#!/bin/bash
# The first and only process of the emulated i686 test machine (the kernel
# starts it as init). There is no init system: this script mounts what
# programs need, mounts the two shared folders, runs the job and powers the
# machine off.
#
# scripts/build-i686-vm.sh puts a copy on the machine's disk
# (/usr/local/sbin/quadrel-init); that copy only mounts the job folder and
# hands over to the copy scripts/lib/i686-vm.sh puts there for each run, so
# a change here takes effect without a new machine.
#
# Shared folders (9p, tags set by scripts/lib/i686-vm.sh):
#   job    the run folder of one job: "guest-init.sh" (this script), "job.sh"
#          (what to run), "checkout" (the checkout's absolute path on the
#          host), "pe-files" (Windows programs and libraries to copy onto the
#          guest's own disk); written back: "output" (everything the job
#          prints) and "status"
#   work   the checkout, mounted at the same absolute path as on the host
#
# Windows programs cannot be run from the 9p share: wine maps a program's
# sections from its file, and mapped from the share they read as zero pages.
# Each file named in "pe-files" is therefore copied to the guest's disk and
# the copy bind-mounted over the shared one; paths stay the same.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8

say() { echo "[quadrel-init] $*" >/dev/console; }
power_off() {
  sync
  echo o >/proc/sysrq-trigger
  sleep 60
}
# mount_once TYPE WHERE [OPTIONS]: the initramfs may have mounted it already.
mount_once() {
  mkdir -p "$2"
  mountpoint -q "$2" || mount -t "$1" ${3:+-o "$3"} "$1" "$2"
}

mount_once proc /proc
mount_once sysfs /sys
mount_once devtmpfs /dev
mount_once devpts /dev/pts
mount_once tmpfs /dev/shm
mount_once tmpfs /run
mount_once tmpfs /tmp
[[ -e /dev/fd ]] || ln -s /proc/self/fd /dev/fd

modprobe -a 9pnet_virtio 9p || say "could not load the 9p modules"
share_opts=trans=virtio,version=9p2000.L,msize=262144
mkdir -p /mnt/job
if ! mountpoint -q /mnt/job && ! mount -t 9p -o "$share_opts" job /mnt/job; then
  say "the job folder could not be mounted"
  power_off
fi
if [[ "${QUADREL_GUEST_INIT:-}" != job && -f /mnt/job/guest-init.sh ]]; then
  QUADREL_GUEST_INIT=job exec /bin/bash /mnt/job/guest-init.sh
fi

hostname quadrel-i686
# The loopback interface up (SIOCSIFFLAGS: up, loopback, running); the
# machine has no iproute2, perl-base does it.
perl -e 'use Socket; socket(my $s, PF_INET, SOCK_DGRAM, 0) or die "$!\n";
  my $req = pack("a16 s x22", "lo", 0x49); ioctl($s, 0x8914, $req) or die "$!\n"' ||
  say "could not bring the loopback interface up"
checkout="$(cat /mnt/job/checkout)"
mkdir -p "$checkout"
if ! mount -t 9p -o "$share_opts" work "$checkout"; then
  echo "the checkout could not be mounted at $checkout" >/mnt/job/output
  echo 125 >/mnt/job/status
  power_off
fi

n=0
mkdir -p /var/tmp/pe
while IFS= read -r file; do
  [[ -f "$file" ]] || continue
  n=$((n + 1))
  cp "$file" "/var/tmp/pe/$n" && mount --bind "/var/tmp/pe/$n" "$file"
done </mnt/job/pe-files

cd "$checkout" || power_off
bash /mnt/job/job.sh </dev/null >/mnt/job/output 2>&1
echo $? >/mnt/job/status
power_off
