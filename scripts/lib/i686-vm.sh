# shellcheck shell=bash
# Sourced: runs one job in the emulated i686 test machine that
# scripts/build-i686-vm.sh made (qemu-system-x86_64 with software emulation,
# Debian's kernel, no init system; the guest's init is
# scripts/lib/i686-guest-init.sh). The caller defines log() and die().
#
#   i686_vm_run IMAGE_DIR JOB_DIR CHECKOUT [keep]
#       JOB_DIR holds job.sh (run by bash in the guest, in CHECKOUT) and
#       pe-files (absolute paths of Windows programs and libraries, one a
#       line, copied onto the guest's disk before the job starts). The guest
#       sees JOB_DIR over 9p as "job" and CHECKOUT at its own absolute path.
#       The job's output is streamed to standard output while it runs; the
#       function returns the job's exit status (125: the machine ended
#       without one; its console is in JOB_DIR/console.log, printed then).
#       "keep": the machine's disk keeps what the job writes (building the
#       image); otherwise every run starts from the image as it was.
#
# Settings: QUADREL_I686_MEMORY (MiB, default 2048), QUADREL_I686_CPUS
# (default 2), QUADREL_I686_TIMEOUT (seconds for the whole run, default 3600).

# Without -smap every 32-bit process oopses the guest kernel on its return
# from a system call (iret) under software emulation.
_i686_vm_cpu="max,-smap"

i686_vm_run() {
  local image="$1" job="$2" checkout="$3" keep="${4:-}"
  local snapshot=",snapshot=on"
  [[ "$keep" == keep ]] && snapshot=""
  [[ -f "$image/vmlinuz" && -f "$image/initrd.img" && -f "$image/rootfs.img" ]] ||
    die "$image holds no machine (scripts/build-i686-vm.sh)"
  [[ -f "$job/job.sh" ]] || die "$job/job.sh is missing"
  touch "$job/pe-files"
  echo "$checkout" >"$job/checkout"
  cp "$(dirname "${BASH_SOURCE[0]}")/i686-guest-init.sh" "$job/guest-init.sh"
  rm -f "$job/output" "$job/status" "$job/console.log"

  local qemu_rc=0 qemu_pid
  timeout --kill-after=20 "${QUADREL_I686_TIMEOUT:-3600}" \
    qemu-system-x86_64 -accel tcg,thread=multi -cpu "$_i686_vm_cpu" \
    -smp "${QUADREL_I686_CPUS:-2}" -m "${QUADREL_I686_MEMORY:-2048}" \
    -nodefaults -display none -no-reboot -no-user-config \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "console=ttyS0 root=/dev/vda rw init=/usr/local/sbin/quadrel-init panic=-1 quiet" \
    -drive "file=$image/rootfs.img,format=raw,if=virtio,cache=unsafe$snapshot" \
    -virtfs "local,path=$job,mount_tag=job,security_model=none,id=job" \
    -virtfs "local,path=$checkout,mount_tag=work,security_model=none,id=work" \
    -serial "file:$job/console.log" </dev/null &
  qemu_pid=$!
  # The job writes into a file, not onto the console: a wineserver it
  # leaves running would otherwise hold the console open to the end.
  tail -n +1 -F --pid="$qemu_pid" "$job/output" 2>/dev/null || true
  wait "$qemu_pid" || qemu_rc=$?
  if [[ -s "$job/status" ]]; then
    return "$(cat "$job/status")"
  fi
  [[ $qemu_rc -eq 124 ]] && log "the machine was stopped after ${QUADREL_I686_TIMEOUT:-3600} s"
  log "the machine ended without the job's status (qemu exit code $qemu_rc); its console:"
  tail -40 "$job/console.log" >&2 || true
  return 125
}
