#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine.
# Safe to run again: each step checks first and skips what is already in place.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
say() { printf '[setup] %s\n' "$*"; }

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then SUDO=sudo; else
      say "installing packages needs root (or sudo)"; exit 1; fi
  else SUDO=; fi
}

native_packages=(build-essential cmake ninja-build pkg-config libxml2-dev libgtest-dev googletest
                 libgmock-dev libbenchmark-dev clang libclang-rt-14-dev)
windows_packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
                  dpkg-dev xvfb x11-apps x11-utils imagemagick)
wine_packages=(wine wine32:i386 wine64)

missing=()
for p in "${native_packages[@]}" "${windows_packages[@]}" "${wine_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

deb_src_file=/etc/apt/sources.list.d/druv-deb-src.sources
need_update=0
if [ ! -f "$deb_src_file" ]; then
  need_root
  say "adding a deb-src entry for libxml2's source"
  $SUDO tee "$deb_src_file" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root
  say "adding the i386 architecture for 32-bit Wine"
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  need_root
  say "apt-get update"
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  say "installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# libxml2's source, for the static MinGW build (cmake/Libxml2Mingw.cmake builds it).
src_dir="$root/third_party/downloads"
if ! ls "$src_dir"/libxml2_*.orig.tar.* >/dev/null 2>&1; then
  mkdir -p "$src_dir"
  say "downloading libxml2's Debian source"
  (cd "$src_dir" && apt-get source --download-only libxml2 >/dev/null 2>&1) || {
    need_root; $SUDO apt-get update -qq
    (cd "$src_dir" && apt-get source --download-only libxml2 >/dev/null)
  }
fi
say "ready"
