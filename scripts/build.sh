#!/usr/bin/env bash
# Configures and builds the project.
#   scripts/build.sh             -> build/
#   scripts/build.sh --sanitize  -> build-san/  (AddressSanitizer + UndefinedBehaviorSanitizer)
#   scripts/build.sh --tsan      -> build-tsan/ (ThreadSanitizer; without the Qt parts)
# Extra arguments after the mode are passed to the build tool (e.g. a target name).
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
flags=()
case "${1:-}" in
  --sanitize) dir=build-san; flags=(-DBRIX_SANITIZE=ON); shift ;;
  --tsan) dir=build-tsan; flags=(-DBRIX_TSAN=ON -DBRIX_BUILD_UI=OFF); shift ;;
  "") ;;
  -*) echo "usage: scripts/build.sh [--sanitize|--tsan] [targets...]" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}"
if [ $# -gt 0 ]; then
  cmake --build "$dir" --target "$@"
else
  cmake --build "$dir"
fi
