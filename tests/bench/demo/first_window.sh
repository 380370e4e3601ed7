#!/usr/bin/env bash
# tests/bench/demo/first_window.sh [--rev REV] [--keep] FOLDER
#
# Times what a new user waits for: a fresh clone of this repository (at REV,
# HEAD by default) in FOLDER, an empty build folder, and its scripts/run up to
# the program's window on the screen. The screen is a virtual X server of this
# harness, standing in for the user's desktop, so the demo shows its window on
# it as on a real display and the harness sees the moment it is mapped.
#
# Prints the seconds from the start of scripts/run to the end of the build
# (the demo's simulator ready) and to the window. The compiler cache is off
# (CCACHE_DISABLE=1) unless DIVAROD_BENCH_CCACHE=1; the build's parallelism is
# DIVAROD_JOBS (the number of processors by default), as for scripts/run.
# Not run by scripts/bench: one measure takes a whole build.
set -euo pipefail

here=$(cd "$(dirname "$0")" && git rev-parse --show-toplevel)
rev=HEAD keep=0
while [[ $# -gt 1 ]]; do
  case "$1" in
    --rev) rev=$2; shift ;;
    --keep) keep=1 ;;
    *) echo "usage: first_window.sh [--rev REV] [--keep] FOLDER" >&2; exit 2 ;;
  esac
  shift
done
[[ $# -eq 1 ]] || { echo "usage: first_window.sh [--rev REV] [--keep] FOLDER" >&2; exit 2; }
folder=$1
[[ -e "$folder" ]] && { echo "first_window: $folder exists; give a new folder" >&2; exit 2; }

git clone -q "$here" "$folder"
git -C "$folder" checkout -q --detach "$rev"
log=$(mktemp) number=$(mktemp)
xvfb=0 run=0
finish() {
  set +e
  # As a timeout ends it: TERM to its whole process group.
  [[ $run -ne 0 ]] && kill -TERM -- "-$run" 2>/dev/null && wait "$run" 2>/dev/null
  [[ $xvfb -ne 0 ]] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -f "$log" "$number"
  [[ $keep -eq 1 ]] || rm -rf "$folder"
}
trap finish EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do grep -qx '[0-9][0-9]*' "$number" && break; sleep 0.1; done
grep -qx '[0-9][0-9]*' "$number" || { echo "first_window: the X server did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$number")"
unset WAYLAND_DISPLAY XAUTHORITY
[[ "${DIVAROD_BENCH_CCACHE:-}" == 1 ]] || export CCACHE_DISABLE=1

# Whether a window of this name is mapped on the screen.
window_shown() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null | sed -n "s/^ *\(0x[0-9a-f]*\) \"$1\".*/\1/p"); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
  done
  return 1
}

name=$(sed -n 's/^App_Name=//p' "$folder/data/Config File/Config/Config.ini" | tr -d '\r')
echo "first_window: $(git -C "$folder" log -1 --format='%h %s' | cut -c1-72)"
echo "first_window: jobs ${DIVAROD_JOBS:-$(nproc)}, ccache $([[ -n "${CCACHE_DISABLE:-}" ]] && echo off || echo on), load $(cut -d' ' -f1-3 /proc/loadavg)"
start=$(date +%s.%N)
setsid "$folder/scripts/run" >"$log" 2>&1 </dev/null &  # a process group of its own
run=$!
built=""
# Bounded: two hours, then the measure gives up.
deadline=$(( $(date +%s) + 7200 ))
while :; do
  now=$(date +%s.%N)
  if [[ -z "$built" ]] && grep -q '^demo: devsim ready' "$log"; then
    built=$now
    printf 'first_window: build done after %.1f s\n' "$(echo "$built - $start" | bc)"
  fi
  if [[ -n "$built" ]] && window_shown "$name"; then
    printf 'first_window: window shown after %.1f s (%.1f s after the build)\n' \
      "$(echo "$now - $start" | bc)" "$(echo "$now - $built" | bc)"
    break
  fi
  kill -0 "$run" 2>/dev/null || { echo "first_window: scripts/run ended first:" >&2; tail -20 "$log" >&2; exit 1; }
  (( $(date +%s) < deadline )) || { echo "first_window: no window within two hours" >&2; exit 1; }
  sleep 0.2
done
echo "first_window: load at the end $(cut -d' ' -f1-3 /proc/loadavg)"
