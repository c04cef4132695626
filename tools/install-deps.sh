#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need; quick when all are present.
# `install-deps.sh bench` adds what `make bench` compares against (clamscan).
set -euo pipefail
pkgs=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 wine32:i386 fonts-wine xvfb xserver-xephyr libxinerama1 x11-apps imagemagick xdotool python3-pil python3-pefile fonts-liberation fonts-dejavu-core
)
[ "${1:-}" = bench ] && pkgs+=(clamav)
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
# The shipped exe is 32-bit: Debian's 32-bit Wine runs it, so dpkg must know the i386 architecture.
added_arch=no
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  added_arch=yes
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $added_arch = no ] && exit 0
echo "installing: ${missing[*]}"
$SUDO apt-get update -qq
[ ${#missing[@]} -eq 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
