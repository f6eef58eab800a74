#!/usr/bin/env bash
# The project's test command: installs what is missing, builds, runs every test under CTest.
#   scripts/test.sh [--sanitize|--tsan] [extra ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

mode=()
dir=build
case "${1:-}" in
  --sanitize) mode=(--sanitize); dir=build-san; shift ;;
  --tsan) mode=(--tsan); dir=build-tsan; shift ;;
esac

bash scripts/install-deps.sh
bash scripts/build.sh "${mode[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Qt keeps allocations of its own (thread data of threads it adopts, socket notifiers) to the end of the
# process, which LeakSanitizer reports now and then.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/support/lsan-qt.supp}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}"
ctest --test-dir "$dir" --output-on-failure --timeout 300 -j "$(nproc)" "$@"
