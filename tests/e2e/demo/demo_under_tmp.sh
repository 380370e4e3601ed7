#!/usr/bin/env bash
# tests/e2e/demo/demo_under_tmp.sh SOURCE BIN: the demo of a project that lies
# below /tmp, on a machine without a usable display, twice in a row, each run
# ended the hard way (its namespace killed, as by a timeout or Ctrl+C). Each
# run saves its picture; neither leaves an X socket or lock behind; and a
# display of the desktop's (here one of this test's own) keeps its socket and
# answers after both. SOURCE is the source tree, BIN the build's bin folder.
# Exit 77 where no private network namespace can be made.
set -u
source=$1 bin=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/install-deps)"

# A copy of the project below /tmp, as a user's clone, with the built program
# and simulator in its build folder.
work=$(mktemp -d /tmp/divarod-demo-clone.XXXXXX)
desktop=0 demo=0
cleanup() {
  [[ $demo -ne 0 ]] && kill -TERM "$demo" 2>/dev/null && wait "$demo" 2>/dev/null
  [[ $desktop -ne 0 ]] && kill "$desktop" 2>/dev/null && wait "$desktop" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP  # the clean-up also when the test is stopped
cp -r "$source/scripts" "$work/"
mkdir -p "$work/data" "$work/build/release/bin" "$work/runtime"
cp "$source/data/demo-fleet.ini" "$work/data/"
cp -r "$bin/divarod" "$bin/divarod-devsim" "$bin/Config File" "$work/build/release/bin/"

# The desktop's display: a server of the host's, which the demo must leave alone.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/desktop" >/dev/null 2>&1 &
desktop=$!
for _ in $(seq 100); do grep -qx '[0-9][0-9]*' "$work/desktop" && break; sleep 0.1; done
grep -qx '[0-9][0-9]*' "$work/desktop" || fail "the desktop's X server did not start"
desktop_display=$(cat "$work/desktop")
desktop_socket=$(stat -c %i "/tmp/.X11-unix/X$desktop_display") || fail "no socket for the desktop's display"

# Whether a server holds display $1's files: its lock names a process that
# runs, or a socket of this network namespace is bound to its socket's path.
# Other tests start and end X servers beside this one; whether a display
# answers is no test of that, since a server binds its socket before it
# answers and stops answering before it removes its files.
display_held() {
  local pid
  pid=$({ tr -d ' \n' <"/tmp/.X$1-lock"; } 2>/dev/null)
  [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null && return 0
  awk -v path="/tmp/.X11-unix/X$1" '$NF == path { found = 1 } END { exit !found }' /proc/net/unix
}

# Whether file $1 of display $2 stays with no server holding it. A server
# removes its files before it lets go of its socket, so the same file still
# there once no server holds it is left behind; the server of another test
# may have ended since the file was listed (the file is then gone), or a new
# one taken the name (then its file is judged).
left_behind() {
  local id
  while id=$(stat -c '%d:%i' "$1" 2>/dev/null); do
    display_held "$2" && return 1
    [[ "$(stat -c '%d:%i' "$1" 2>/dev/null)" == "$id" ]] && return 0
  done
  return 1
}

# Socket and lock files of X displays that no server holds, among those that
# are not in the list of before ($1).
dead_leftovers() {
  local file number
  for file in /tmp/.X11-unix/X* /tmp/.X*-lock; do
    [[ -e "$file" ]] || continue
    grep -qxF "$file" "$1" && continue
    number=${file##*X}
    number=${number%-lock}
    left_behind "$file" "$number" && echo "$file"
  done
}

for run in 1 2; do
  ls -d /tmp/.X11-unix/X* /tmp/.X*-lock 2>/dev/null >"$work/before"
  picture="$work/picture-$run.png"
  env -u DISPLAY -u WAYLAND_DISPLAY -u XAUTHORITY XDG_RUNTIME_DIR="$work/runtime" \
    DIVAROD_DEMO_SCREENSHOT="$picture" "$work/scripts/netns-run" "$work/scripts/demo-inside" \
    >"$work/demo-$run.log" 2>&1 </dev/null &
  demo=$!
  for _ in $(seq 600); do
    grep -q '^demo: saved' "$work/demo-$run.log" && break
    kill -0 "$demo" 2>/dev/null || break
    sleep 0.1
  done
  if ! kill -0 "$demo" 2>/dev/null; then
    wait "$demo"
    status=$?
    demo=0
    [[ $status -eq 77 ]] && { echo "no private network namespace here" >&2; exit 77; }
    fail "run $run ended by itself with status $status: $(cat "$work/demo-$run.log")"
  fi
  grep -q '^demo: saved' "$work/demo-$run.log" || fail "run $run saved no picture: $(cat "$work/demo-$run.log")"
  [[ "$(head -c 8 "$picture" | od -An -tx1 | tr -d ' ')" == 89504e470d0a1a0a ]] || fail "run $run: $picture is no PNG"
  # As a timeout ends it (a background job here ignores a Ctrl+C's INT): the
  # namespace and everything in it are killed outright.
  kill -TERM "$demo"
  wait "$demo"
  demo=0
  leftovers=$(dead_leftovers "$work/before")
  [[ -z "$leftovers" ]] || fail "run $run left behind: $leftovers"
done

[[ "$(stat -c %i "/tmp/.X11-unix/X$desktop_display" 2>/dev/null)" == "$desktop_socket" ]] ||
  fail "the socket of the desktop's display :$desktop_display was replaced or removed"
DISPLAY=":$desktop_display" xdpyinfo >/dev/null 2>&1 || fail "the desktop's display :$desktop_display no longer answers"
exit 0
