#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need; quick when all are present.
# `install-deps.sh bench` adds what `make bench` compares against (clamscan).
#
# The package mirror can be caught mid-sync for one architecture: the index update then fails for
# that suite, and a multi-arch install may not resolve against the half-updated indexes. So the
# update is retried and a partial failure is not fatal; an install that cannot resolve is retried
# with the system's own release pinned. Whatever is still missing at the end is named, and the
# script fails. APT_TRIES and APT_PAUSE (seconds) tune the retries.
set -uo pipefail
pkgs=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 wine32:i386 fonts-wine xvfb xserver-xephyr libxinerama1 x11-apps imagemagick xdotool python3-pil python3-pefile fonts-liberation fonts-dejavu-core
  osslsigncode openssl python3-jsonschema
)
[ "${1:-}" = bench ] && pkgs+=(clamav)
tries=${APT_TRIES:-3}
pause=${APT_PAUSE:-20}
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive

missing_packages() {
  local p
  for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

# The shipped exe is 32-bit: Debian's 32-bit Wine runs it, so dpkg must know the i386 architecture.
added_arch=no
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386 || { echo "install-deps: dpkg refused the i386 architecture" >&2; exit 1; }
  added_arch=yes
fi
mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && [ $added_arch = no ] && exit 0
echo "installing: ${missing[*]}"

update_ok=no
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
for ((i = 1; i <= tries; i++)); do
  if $SUDO apt-get update -qq >"$update_log" 2>&1; then update_ok=yes; break; fi
  [ $i -lt $tries ] && sleep "$pause"
done
# Only the first complaint of the last try: the rest repeats it.
[ $update_ok = yes ] || grep -m1 '^E:' "$update_log" >&2 || true

how=""
if [ ${#missing[@]} -gt 0 ]; then
  if $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    how="installed"
  else
    codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
    if [ -n "$codename" ] && $SUDO apt-get install -y -qq --no-install-recommends -t "$codename" "${missing[@]}" >/dev/null; then
      how="installed with the release $codename pinned"
    else
      how="install failed"
    fi
  fi
fi

mapfile -t still < <(missing_packages)
[ $update_ok = yes ] && upd="index update ok" || upd="index update failed $tries times, old indexes used"
if [ ${#still[@]} -gt 0 ]; then
  echo "install-deps: $upd; $how; still missing: ${still[*]}" >&2
  exit 1
fi
echo "install-deps: $upd; ${how:-nothing to install}: ${#missing[@]} package(s)"
