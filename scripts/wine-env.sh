# shellcheck shell=bash
# Sourced: prepares everything a Windows program needs to run under wine here.
#   QUADREL_WINE_ARCH=win64 . scripts/wine-env.sh [--no-setup]
#   "$QUADREL_WINE" prog.exe ...; quadrel_wine_stop when done
#
# - QUADREL_WINE_ARCH: win32 (default, 32-bit programs) or win64;
#   QUADREL_WINE is then the loader to run programs with;
# - a display: QUADREL_DISPLAY if given, else our own Xvfb (reused while it lives,
#   otherwise started on the first free display number);
# - a private WINEPREFIX per architecture in the cache, created once (about
#   20-30 s) and reused, recreated when the wine version changes;
# - WINEDEBUG=-all, no Mono/Gecko installer prompts, no menu entries.
# Cache base: QUADREL_CACHE, else /var/cache/quadrel when writable, else ~/.cache/quadrel.
#
# 32-bit programs need a kernel that runs 32-bit x86 code; some kernels have
# that switched off (ia32_emulation), and then only win64 works.

. "$(dirname "${BASH_SOURCE[0]}")/lib/cache.sh"

export QUADREL_WINE_ARCH="${QUADREL_WINE_ARCH:-win32}"
case "$QUADREL_WINE_ARCH" in
  win32)
    QUADREL_WINE=/usr/lib/wine/wine
    unset WINELOADER
    ;;
  win64)
    QUADREL_WINE=/usr/lib/wine/wine64
    # Processes the program starts use the same loader.
    export WINELOADER=$QUADREL_WINE
    ;;
  *)
    echo "[wine-env] QUADREL_WINE_ARCH must be win32 or win64, not $QUADREL_WINE_ARCH" >&2
    return 2 2>/dev/null || exit 2
    ;;
esac
export QUADREL_WINE
export WINEARCH=$QUADREL_WINE_ARCH
export WINEPREFIX="${QUADREL_WINEPREFIX:-$QUADREL_CACHE/${QUADREL_WINE_ARCH}-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=d;mshtml=d;winemenubuilder.exe=d}"

_qd_log() { echo "[wine-env] $*" >&2; }

# Starts (or finds) our Xvfb and exports DISPLAY; one caller at a time.
quadrel_display() {
  local lock rc
  exec {lock}>"$QUADREL_CACHE/run/xvfb.lock"
  flock -w 120 "$lock" || { _qd_log "timed out waiting for the display lock"; exec {lock}>&-; return 1; }
  _qd_display_locked
  rc=$?
  exec {lock}>&-
  return $rc
}
_qd_display_locked() {
  if [[ -n "${QUADREL_DISPLAY:-}" ]]; then
    export DISPLAY="$QUADREL_DISPLAY"
    return 0
  fi
  local state="$QUADREL_CACHE/run/xvfb" num pid
  if [[ -f "$state" ]]; then
    read -r num pid <"$state" || true
    if [[ -n "${pid:-}" ]] && kill -0 "$pid" 2>/dev/null && [[ -S "/tmp/.X11-unix/X$num" ]]; then
      export DISPLAY=":$num"
      return 0
    fi
  fi
  command -v Xvfb >/dev/null || { _qd_log "Xvfb is missing (apt-get install xvfb)"; return 1; }
  for num in $(seq 90 150); do
    [[ -e "/tmp/.X$num-lock" || -e "/tmp/.X11-unix/X$num" ]] && continue
    # setsid + closed stdio: the server must not hold the caller's pipes open,
    # nor the display lock (every later caller would wait for it in vain).
    setsid Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 {lock}>&- &
    pid=$!
    local i
    for i in $(seq 1 100); do
      [[ -S "/tmp/.X11-unix/X$num" ]] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if [[ -S "/tmp/.X11-unix/X$num" ]] && kill -0 "$pid" 2>/dev/null; then
      echo "$num $pid" >"$state"
      export DISPLAY=":$num"
      _qd_log "started Xvfb on :$num (pid $pid)"
      return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
  _qd_log "could not start Xvfb on any display :90..:150"
  return 1
}

# True when this machine can run the loader of QUADREL_WINE_ARCH at all.
quadrel_wine_runs() {
  [[ -x "$QUADREL_WINE" ]] || return 1
  "$QUADREL_WINE" --version >/dev/null 2>&1
}

# Creates the prefix on first use; later calls only check the stamp.
quadrel_wineprefix() {
  if [[ ! -x "$QUADREL_WINE" ]]; then
    _qd_log "$QUADREL_WINE is missing (scripts/install-deps.sh)"
    return 1
  fi
  if ! quadrel_wine_runs; then
    _qd_log "$QUADREL_WINE does not run here; for win32: the kernel runs no 32-bit x86 code (ia32_emulation off?)"
    return 1
  fi
  local version stamp
  version="$("$QUADREL_WINE" --version 2>/dev/null) $QUADREL_WINE_ARCH"
  stamp="$WINEPREFIX/.quadrel-stamp"
  [[ -f "$stamp" && "$(cat "$stamp")" == "$version" ]] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock -w 600 9 || { _qd_log "timed out waiting for the prefix lock"; exit 1; }
    if [[ -f "$stamp" && "$(cat "$stamp")" == "$version" ]]; then exit 0; fi
    _qd_log "creating wine prefix $WINEPREFIX ($version) ..."
    t0=$SECONDS
    rm -rf "$WINEPREFIX"
    # wineboot reports missing 32-bit parts in a win64 prefix on kernels
    # without 32-bit support; the prefix works for 64-bit programs anyway.
    wblog="$QUADREL_CACHE/run/wineboot-$QUADREL_WINE_ARCH.log"
    if ! timeout 600 "$QUADREL_WINE" wineboot --init </dev/null >"$wblog" 2>&1; then
      # On a slow machine (software emulation, a loaded host) the first boot
      # can outlast wine's own wait for it while it goes on in the background:
      # let it finish, then a second pass completes the prefix.
      _qd_log "wineboot did not finish in wine's time; waiting, then once more"
      timeout 600 wineserver -w || true
      timeout 600 "$QUADREL_WINE" wineboot -u </dev/null >>"$wblog" 2>&1 ||
        { _qd_log "wineboot failed (log: $wblog)"; exit 1; }
    fi
    wineserver -w
    [[ -f "$WINEPREFIX/system.reg" ]] || { _qd_log "prefix incomplete"; exit 1; }
    echo "$version" >"$stamp"
    _qd_log "wine prefix ready in $((SECONDS - t0)) s"
  ) 9>"$QUADREL_CACHE/run/wineprefix-$QUADREL_WINE_ARCH.lock"
}

# Ends the wineserver of our prefix and the Xvfb this cache started.
quadrel_wine_stop() {
  wineserver -k 2>/dev/null || true
  local state="$QUADREL_CACHE/run/xvfb" num pid
  if [[ -z "${QUADREL_DISPLAY:-}" && -f "$state" ]]; then
    read -r num pid <"$state" || true
    if [[ -n "${pid:-}" ]] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
    fi
    rm -f "$state"
  fi
}

# "--no-setup": only the settings and functions, no display or prefix yet.
if [[ "${1:-}" != "--no-setup" ]]; then
  quadrel_display && quadrel_wineprefix
fi
