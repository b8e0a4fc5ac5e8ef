#!/usr/bin/env bash
# Puts this machine into the state of a brand-new one for what the scripts
# set up themselves, and back, so that .ci/run can be tried as CI meets it
# on a new machine:
#   scripts/new-machine.sh enter    moves the deb-src entries the scripts add
#                                   and the build cache (Scintilla, libjpeg,
#                                   wine prefixes) aside, refreshes apt's lists
#   scripts/new-machine.sh leave    puts both back, refreshes apt's lists
#   scripts/new-machine.sh status   tells which state the machine is in
# Packages stay installed (install-deps.sh only checks them). Needs root.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/report-failure.sh" new-machine

log() { echo "[new-machine] $*" >&2; }
die() { echo "[new-machine] ERROR: $*" >&2; exit 1; }

src_list=/etc/apt/sources.list.d/debian-src.sources
cache=/var/cache/quadrel
user_cache="${XDG_CACHE_HOME:-$HOME/.cache}/quadrel"
aside=/var/tmp/quadrel-new-machine-aside

[[ $EUID -eq 0 ]] || die "must run as root"

case "${1:-}" in
  enter)
    [[ ! -e "$aside" ]] || die "already entered ($aside exists); run '$0 leave' first"
    mkdir -p "$aside"
    if [[ -f "$src_list" ]]; then mv "$src_list" "$aside/"; log "deb-src entries moved aside"; fi
    if [[ -d "$cache" ]]; then mv "$cache" "$aside/cache"; log "$cache moved aside"; fi
    if [[ -d "$user_cache" ]]; then mv "$user_cache" "$aside/user-cache"; log "$user_cache moved aside"; fi
    apt-get update -q >/dev/null || die "apt-get update failed"
    if apt-cache showsrc scite >/dev/null 2>&1; then die "apt still knows source packages"; fi
    log "entered: no deb-src entries, no build cache"
    ;;
  leave)
    [[ -d "$aside" ]] || die "not entered ($aside is missing)"
    # What the run in the new state made is dropped; the old state returns.
    rm -f "$src_list"
    [[ -f "$aside/${src_list##*/}" ]] && mv "$aside/${src_list##*/}" "$src_list"
    if [[ -d "$aside/cache" ]]; then rm -rf "$cache"; mv "$aside/cache" "$cache"; fi
    if [[ -d "$aside/user-cache" ]]; then rm -rf "$user_cache"; mv "$aside/user-cache" "$user_cache"; fi
    rmdir "$aside" 2>/dev/null || die "$aside is not empty after restoring; look inside"
    apt-get update -q >/dev/null || die "apt-get update failed"
    log "left: entries and cache restored"
    ;;
  status)
    if [[ -d "$aside" ]]; then echo "new-machine state (aside: $aside)"; else echo "normal state"; fi
    ;;
  *)
    sed -n '2,12p' "$0" >&2
    exit 2
    ;;
esac
