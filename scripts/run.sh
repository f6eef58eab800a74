#!/usr/bin/env bash
# The project's command for the main job: installs what is missing, builds, and starts the program.
#   scripts/run.sh [SHOW_FOLDER] [program arguments...]
# SHOW_FOLDER becomes the current show of the program's show store (shows.json in the user-data
# folder) and stays current for later starts. Without it the program opens the store's current show:
# on the first start its copy of the demo show (shows/demo, copied once into the user-data folder; the
# repository's copy is never written); when the current show's folder is gone, a window to choose one. "-c" shows the program's diagnostics in
# this terminal. Needs a display (X11 or Wayland); without one it says so and stops.
set -euo pipefail
cd "$(dirname "$0")/.."

show=""
if [ $# -gt 0 ] && [[ "$1" != -* ]]; then
  show="$(realpath -- "$1")" || { echo "run.sh: no such show folder: $1" >&2; exit 2; }
  if [ ! -f "$show/show.json" ]; then
    echo "run.sh: $1 is not a show folder (it has no show.json)" >&2
    exit 2
  fi
  shift
fi

platform="${QT_QPA_PLATFORM:-}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [[ "$platform" != offscreen* ]]; then
  echo "run.sh: no display to show the program on (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session, or under xvfb-run" >&2
  exit 1
fi

bash scripts/install-deps.sh
bash scripts/build.sh tarnwick2

export TARNWICK2_SHOW_FOLDER="$show"
status=0
build/apps/tarnwick2/tarnwick2 "$@" || status=$?
if [ "$status" -ne 0 ]; then
  log="${XDG_DATA_HOME:-$HOME/.local/share}/tarnwick/brix_vs_error_log.txt"
  echo "run.sh: tarnwick2 ended with status $status; its error log: $log (or brix_vs_error_log.txt here)" >&2
fi
exit "$status"
