#!/usr/bin/env bash
# Installs a native build into a temporary prefix and checks what a user of
# the installation gets: a C program built and run with nothing but
# pkg-config, the library's versioned SONAME, find_package(Quadrel), the
# installed quadrel program and its man page; with --deb also the Debian
# package that CPack makes.
#   tests/install/test-install.sh BUILD_DIR [--deb]
set -euo pipefail

fail() { echo "test-install: $*" >&2; exit 1; }
[[ $# -ge 1 ]] || { echo "usage: $0 BUILD_DIR [--deb]" >&2; exit 2; }
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log" >&2; fail "cmake --install failed"; }

# 1. A C program, built with what pkg-config says and nothing else.
pc="$(find "$prefix" -name quadrel.pc -print -quit)"
[[ -n "$pc" ]] || fail "no quadrel.pc installed"
export PKG_CONFIG_PATH="$(dirname "$pc")"
libdir="$(pkg-config --variable=libdir quadrel)"
# shellcheck disable=SC2046
cc -std=c11 -Wall -Wextra -Werror $(pkg-config --cflags quadrel) "$here/consumer.c" -o "$tmp/consumer" \
  $(pkg-config --libs quadrel) || fail "the consumer did not build with pkg-config's flags"
out="$(LD_LIBRARY_PATH="$libdir" "$tmp/consumer")" || fail "the consumer failed"
[[ "$out" == "42.0000" ]] || fail "the consumer printed '$out'"
[[ "$(pkg-config --modversion quadrel)" == "$(sed -n 's/^project(Quadrel VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")" ]] ||
  fail "pkg-config gives version $(pkg-config --modversion quadrel)"

# 2. The SONAME carries the interface's version, and its link is installed.
soname="$(objdump -p "$libdir/libquadrel.so" | awk '$1 == "SONAME" { print $2 }')"
[[ "$soname" =~ ^libquadrel\.so\.[0-9]+$ ]] || fail "SONAME is '$soname'"
[[ -f "$libdir/$soname" ]] || fail "$soname is not installed"

# 3. find_package(Quadrel) from a CMake project.
mkdir -p "$tmp/user"
cat >"$tmp/user/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(QuadrelUser C)
find_package(Quadrel 0.0 REQUIRED)
add_executable(consumer consumer.c)
target_link_libraries(consumer PRIVATE Quadrel::quadrel)
CMAKE
cp "$here/consumer.c" "$tmp/user/"
cmake -S "$tmp/user" -B "$tmp/user/build" -DCMAKE_PREFIX_PATH="$prefix" >"$tmp/user.log" 2>&1 &&
  cmake --build "$tmp/user/build" >>"$tmp/user.log" 2>&1 || { cat "$tmp/user.log" >&2; fail "find_package(Quadrel) failed"; }
[[ "$("$tmp/user/build/consumer")" == "42.0000" ]] || fail "the find_package consumer failed"

# 4. The installed program: a formula, and the command list it finds in share/.
[[ "$("$prefix/bin/quadrel" -e '6*7')" == "42.0000" ]] ||
  fail "the installed quadrel did not evaluate 6*7"
(cd "$tmp" && "$prefix/bin/quadrel" /cm) | grep -q . || fail "the installed quadrel /cm showed nothing"
(cd "$tmp" && "$prefix/bin/quadrel" /cm 2>&1 >/dev/null) | grep -q "can't read" && fail "the installed quadrel does not find ShowCmds.otm"

# 5. The man page (compressed) renders, without warnings, and names every option of --help.
man_page="$prefix/share/man/man1/quadrel.1.gz"
[[ -f "$man_page" ]] || fail "no man page at $man_page"
warnings="$(zcat "$man_page" | groff -man -Tutf8 -ww -z 2>&1)"
[[ -z "$warnings" ]] || fail "the man page has warnings: $warnings"
MANWIDTH=80 man -l "$man_page" 2>/dev/null | grep -q "EXIT STATUS" || fail "man -l did not render the man page"
for option in $("$prefix/bin/quadrel" --help | grep -oE '^  -[-a-z]+' | tr -d ' ' | sort -u); do
  zcat "$man_page" | grep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" || fail "the man page lacks the option $option"
done
[[ -f "$prefix/share/doc/quadrel/copyright" ]] || fail "no copyright file"

# 6. The Debian package.
if [[ "${2:-}" == --deb ]]; then
  (cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack.log" 2>&1) ||
    { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
  deb="$(find "$tmp/deb" -maxdepth 1 -name 'quadrel_*.deb' -print -quit)"
  [[ -n "$deb" ]] || fail "cpack made no quadrel_*.deb"
  dpkg-deb -c "$deb" | awk '{ print ($(NF - 1) == "->") ? $(NF - 2) : $NF }' >"$tmp/deb.list"
  for f in ./usr/bin/quadrel "./usr/lib/$soname" ./usr/lib/libquadrel.so ./usr/include/quadrel.h \
           ./usr/lib/pkgconfig/quadrel.pc ./usr/lib/cmake/Quadrel/QuadrelConfig.cmake \
           ./usr/share/man/man1/quadrel.1.gz ./usr/share/quadrel/ShowCmds.otm \
           ./usr/share/doc/quadrel/copyright ./usr/share/doc/quadrel/changelog.gz; do
    grep -qxF "$f" "$tmp/deb.list" || fail "$(basename "$deb") lacks $f"
  done
  # The program uses Debian's own libraries, not copies linked into it.
  dpkg-deb -x "$deb" "$tmp/unpacked"
  needed="$(objdump -p "$tmp/unpacked/usr/bin/quadrel" | awk '$1 == "NEEDED" { print $2 }')"
  for lib in libedit libcairo libjpeg; do
    grep -q "^$lib\." <<<"$needed" || fail "usr/bin/quadrel does not link $lib dynamically"
  done
  triggers="$(dpkg-deb -I "$deb" triggers 2>/dev/null || true)"
  grep -q "ldconfig" <<<"$triggers" || fail "$(basename "$deb") lacks the ldconfig trigger"
  # Debian's own checks: no error may be left (warnings and notes are listed).
  if command -v lintian >/dev/null; then
    lintian --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || true
    if grep -q '^E: ' "$tmp/lintian.log"; then
      cat "$tmp/lintian.log" >&2
      fail "lintian reports errors on $(basename "$deb")"
    fi
  else
    fail "lintian is not installed (scripts/install-deps.sh all installs it)"
  fi
fi
echo "test-install: passed"
