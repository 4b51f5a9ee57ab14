#!/usr/bin/env bash
# Installs the build into a staging folder and uses it from there as a user of the installation
# would: a C program compiled against the installed header and library (found through pkg-config)
# reads the processor's version from the installed ventrix-sim, and the installed quorvel-cli
# scans its own simulated rack with the installed library and hardware tables.
# Usage: check_installation.sh BUILD_DIR CHECK_VERSION_C
set -euo pipefail
build=$1
check_version_c=$2

stage=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$stage"
}
trap cleanup EXIT
fail() {
  echo "installation: $*" >&2
  exit 1
}

DESTDIR="$stage/root" cmake --install "$build" >/dev/null
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
root="$stage/root$prefix"

for file in bin/quorvel-cli bin/ventrix-sim bin/fwgen include/quorlink.h include/linkpad/linkpad.h \
  share/quorvel/ws.cfg share/quorvel/NodePod.cfg share/quorvel/kx.cfg \
  share/quorvel/racks/default.json; do
  [ -e "$root/$file" ] || fail "missing $file"
done

# The C program, built only from what pkg-config says about the staged installation.
pc_file=$(find "$root" -name quorlink.pc)
[ -n "$pc_file" ] || fail "missing quorlink.pc"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc_file")
export PKG_CONFIG_SYSROOT_DIR="$stage/root"
read -ra cflags <<<"$(pkg-config --cflags quorlink)"
read -ra libs <<<"$(pkg-config --libs quorlink)"
cc -std=c99 -Wall -Wextra -Werror "${cflags[@]}" "$check_version_c" -o "$stage/check_version" \
  "${libs[@]}"
libdir=$(pkg-config --variable=libdir quorlink)
case "$libdir" in "$stage/root"/*) ;; *) libdir="$stage/root$libdir" ;; esac

# The installed simulator with the installed rack file; its first line says where it listens.
rack="$root/share/quorvel/racks/default.json"
exec 3< <(exec "$root/bin/ventrix-sim" --rack "$rack" --tcp 127.0.0.1:0 --quiet)
sim_pid=$!
read -r -t 30 listening <&3 || fail "ventrix-sim did not start"
address=${listening#listening tcp }
version=$(sed -n 's/.*"version": "\(P[0-9.]*\)".*/\1/p' "$rack" | head -n 1)
LD_LIBRARY_PATH="$libdir" "$stage/check_version" "$address" "$version" ||
  fail "CheckVersion against ventrix-sim did not return $version"

# The installed quorvel-cli, with settings and log of its own: it must load the staged library
# and read the staged hardware tables without being told where they are.
mkdir -p "$stage/home"
if ! HOME="$stage/home" XDG_CONFIG_HOME="$stage/home/config" XDG_DATA_HOME="$stage/home/data" \
  TMPDIR="$stage/home" LD_DEBUG=files \
  "$root/bin/quorvel-cli" --yes --simulate scan >"$stage/scan.out" 2>"$stage/scan.err"; then
  grep -v '^ *[0-9]*:' "$stage/scan.err" >&2 || true
  fail "quorvel-cli --simulate scan failed"
fi
grep -q "calling init: $root/.*libquorlink\.so" "$stage/scan.err" ||
  fail "quorvel-cli did not load the installed libquorlink"
if grep -q "does not exist" "$stage/scan.err"; then fail "quorvel-cli did not find its hardware tables"; fi
grep -q "RA56" "$stage/scan.out" || fail "the scan did not list the rack's RA56: $(cat "$stage/scan.out")"
# Its default firmware and upload folders are the user's, not the read-only data directory.
for folder in Download Upload; do
  [ -d "$stage/home/data/quorvel/$folder" ] || fail "no $folder folder in the user's data folder"
done
echo "installation in $prefix works: $(head -n 1 "$stage/scan.out")"
