# shellcheck shell=bash
# Sourced: sets and exports QUADREL_CACHE, the folder where builds from
# source packages, wine prefixes and run state are kept between runs:
# QUADREL_CACHE when given, else /var/cache/quadrel when writable, else
# ~/.cache/quadrel. Makes its "run" folder (locks, logs, scratch).
if [[ -z "${QUADREL_CACHE:-}" ]]; then
  if mkdir -p /var/cache/quadrel 2>/dev/null && [[ -w /var/cache/quadrel ]]; then
    QUADREL_CACHE=/var/cache/quadrel
  else
    QUADREL_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/quadrel"
  fi
fi
export QUADREL_CACHE
mkdir -p "$QUADREL_CACHE/run"
