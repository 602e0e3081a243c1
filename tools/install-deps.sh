#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need,
# but only those that are missing. Runs apt-get update once, and only when
# something has to be installed.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libgtkmm-2.4-dev libglademm-2.4-dev libxml++2.6-dev libsigc++-2.0-dev
  libgtest-dev libcli11-dev nlohmann-json3-dev
  libgit2-dev libarchive-dev libxxhash-dev
  xvfb xauth
  patch
  git desktop-file-utils appstream dpkg-dev file
)
if [ "${VELMORA_FUZZ:-0}" = 1 ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
