#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Idempotent: when everything is already installed it only checks and returns.
#   scripts/install-deps.sh          what the build, the tests and the program need
#   scripts/install-deps.sh --fuzz   the same and the compiler of the fuzzers (scripts/fuzz.sh):
#                                    Debian's clang 16 with its libFuzzer and sanitizer runtimes
#                                    (clang 14 cannot compile libstdc++ 12's std::source_location)
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
  libcpp-httplib-dev
  qt6-base-dev
  qt6-declarative-dev
  qt6-5compat-dev
  qt6-svg-dev
  libqt6svg6
  qt6-qpa-plugins
  qml6-module-qtquick
  qml6-module-qtquick-controls
  qml6-module-qtquick-dialogs
  qml6-module-qt-labs-folderlistmodel
  qml6-module-qtquick-templates
  qml6-module-qtquick-layouts
  qml6-module-qtquick-window
  qml6-module-qtqml-workerscript
  qml6-module-qt5compat-graphicaleffects
  qml6-module-qttest
  liblo-tools
  xvfb
  libxcb1-dev
  xauth
  libgl1-mesa-dri
  fonts-liberation2
  poppler-utils
)

case "${1:-}" in
  --fuzz) packages+=(clang-16 libclang-rt-16-dev) ;;
  "") ;;
  *) echo "usage: scripts/install-deps.sh [--fuzz]" >&2; exit 2 ;;
esac

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
