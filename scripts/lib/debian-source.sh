# shellcheck shell=bash
# Sourced by the scripts that build a library from a Debian source package
# into the cache (see cache.sh). The caller defines log() and die().
#   source_package_version PKG     the version apt knows, adding the deb-src
#                                  entries first when apt knows none; "" when
#                                  there is still none (offline)
#   newest_cached_build PREFIX SUB CHECK
#                                  $QUADREL_CACHE/PREFIX-VERSION/SUB of the
#                                  newest VERSION for which "CHECK VERSION"
#                                  succeeds; fails when there is none
#   reuse_finished_build OUT LOCK CHECK KEY
#                                  prints OUT and ends the script when
#                                  "CHECK KEY" finds the build there finished;
#                                  otherwise holds the lock LOCK (waiting for
#                                  another build) and checks once more
#   fetch_source PKG VERSION DIR   unpacks the source package into DIR

as_root() {
  if [[ $EUID -eq 0 ]]; then "$@"
  elif command -v sudo >/dev/null; then sudo -n "$@"
  else return 1
  fi
}

# "" when apt has no source lists: apt-cache then exits with 100, which is
# an answer here, not a failure.
_apt_source_version() {
  { apt-cache showsrc "$1" 2>/dev/null || true; } | awk '/^Version:/ { print $2; exit }'
}

# deb-src entries: the same URIs, suites and components as the deb entries.
_enable_deb_src() {
  local src=/etc/apt/sources.list.d/debian.sources dst=/etc/apt/sources.list.d/debian-src.sources
  [[ -f "$src" ]] || return 1
  if [[ ! -f "$dst" ]]; then
    log "adding deb-src entries ($dst)"
    sed 's/^Types:[[:space:]]*deb$/Types: deb-src/' "$src" | as_root tee "$dst" >/dev/null || return 1
  fi
  log "apt-get update (source lists)"
  as_root apt-get update -q >/dev/null
}

source_package_version() {
  local version
  version="$(_apt_source_version "$1")"
  if [[ -z "$version" ]]; then
    _enable_deb_src || log "could not add deb-src entries or update the source lists"
    version="$(_apt_source_version "$1")"
  fi
  echo "$version"
}

newest_cached_build() {
  local prefix="$1" sub="$2" check="$3" dir
  for dir in $(ls -d "$QUADREL_CACHE/$prefix"-* 2>/dev/null | sort -V -r); do
    if "$check" "${dir##*/"$prefix"-}"; then
      echo "$dir/$sub"
      return 0
    fi
  done
  return 1
}

reuse_finished_build() {
  local out="$1" lock="$2" check="$3" key="$4"
  if "$check" "$key"; then
    echo "$out"
    exit 0
  fi
  exec 9>"$QUADREL_CACHE/run/$lock.lock"
  flock -w 1800 9 || die "timed out waiting for another build ($lock)"
  if "$check" "$key"; then  # built by the other one meanwhile
    echo "$out"
    exit 0
  fi
}

fetch_source() {
  local pkg="$1" version="$2" dir="$3"
  command -v dpkg-source >/dev/null || die "dpkg-dev is missing (scripts/install-deps.sh)"
  log "fetching $pkg $version source"
  # _apt cannot write into a private folder; let it download as the caller.
  (cd "$dir" && apt-get source -q -o APT::Sandbox::User=root "$pkg=$version" >"$dir/apt.log" 2>&1) ||
    { tail -20 "$dir/apt.log" >&2; die "apt-get source $pkg=$version failed"; }
}
