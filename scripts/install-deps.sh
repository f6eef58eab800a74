#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Idempotent: when everything is already installed it only checks and returns.
set -euo pipefail

packages=(
  cmake
  ninja-build
  g++
  pkg-config
  googletest
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  rapidjson-dev
  libarchive-dev
  zlib1g-dev
  libasound2-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
