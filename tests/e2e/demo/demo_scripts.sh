#!/usr/bin/env bash
# scripts/run explains itself before it installs or builds anything, and
# scripts/virtual-display ends its X server (which removes its socket in
# /tmp) together with the command, when told to stop or when the command ends.
set -u
scripts=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
mkdir "$work/first" "$work/second"
marker="divarod-demo-test-$$"
cleanup() {
  pkill -KILL -xf "$marker 300" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# What belongs to the command's own X server, recorded from inside the command
# (the server and the command are both children of scripts/virtual-display):
# the server's process and its socket, each by an identity that a server of
# another test cannot share. A display number can: another test's server may
# take the number the moment this one frees it, and its socket the same name.
record_server='server=$(pgrep -P $PPID -x Xvfb); echo "$server $(cut -d" " -f22 /proc/$server/stat)" >"$1/server"; stat -c "%d:%i:%w:%z" "/tmp/.X11-unix/X${DISPLAY#:}" >"$1/socket"'
# Fails when the recorded server still runs or its socket is still there.
server_ended() {
  local pid start socket=/tmp/.X11-unix/X$2
  read -r pid start <"$1/server"
  [ -n "$pid" ] || fail "the command found no X server of its own"
  [ -r "/proc/$pid/stat" ] && [ "$(cut -d' ' -f22 "/proc/$pid/stat" 2>/dev/null)" = "$start" ] &&
    fail "the X server of display :$2 (process $pid) $3"
  [ -S "$socket" ] && [ "$(stat -c '%d:%i:%w:%z' "$socket" 2>/dev/null)" = "$(cat "$1/socket")" ] &&
    fail "the socket of display :$2 stayed $3"
  return 0
}

# --help: the header's usage on standard output; an unknown option: the same
# on standard error, with status 2.
"$scripts/run" --help >"$work/help" 2>"$work/help.err" || fail "--help gave $?"
grep -q '^  scripts/run --fleet FILE' "$work/help" || fail "--help printed: $(cat "$work/help")"
grep -q -- '--real-network' "$work/help" || fail "--help lacks --real-network"
grep -q '^#' "$work/help" && fail "--help printed the comment marks"
[ -s "$work/help.err" ] && fail "--help wrote to standard error: $(cat "$work/help.err")"
"$scripts/run" --no-such-option >"$work/bad" 2>"$work/bad.err"
status=$?
[ $status -eq 2 ] || fail "an unknown option gave $status"
grep -q 'unknown option --no-such-option' "$work/bad.err" || fail "no word about the option: $(cat "$work/bad.err")"
grep -q '^  scripts/run --loopback' "$work/bad.err" || fail "an unknown option did not print the usage"
"$scripts/run" --fleet >/dev/null 2>&1
[ $? -eq 2 ] || fail "--fleet without a file was taken"

# The virtual display: the command reaches it, and a TERM ends both.
command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/install-deps)"
"$scripts/virtual-display" "$work/picture.png" bash -c \
  "echo \"\${DISPLAY#:}\" >'$work/display'; $record_server; xdpyinfo >/dev/null && touch '$work/reached'; exec -a $marker sleep 300" \
  record "$work/first" >/dev/null 2>&1 &
vd=$!
for _ in $(seq 100); do [ -e "$work/reached" ] && break; sleep 0.1; done
[ -e "$work/reached" ] || fail "the command did not reach the virtual display"
display=$(cat "$work/display")
[ -S "/tmp/.X11-unix/X$display" ] || fail "no socket for display :$display"
kill -TERM "$vd"
wait "$vd"
status=$?
[ $status -eq 143 ] || fail "a TERM gave status $status"
pgrep -xf "$marker 300" >/dev/null && fail "the command outlived the TERM"
server_ended "$work/first" "$display" "after the TERM"

# When the command ends by itself (here once the picture is saved), so does
# the server; the command's status comes back.
"$scripts/virtual-display" "$work/picture.png" sh -c \
  "echo \"\${DISPLAY#:}\" >'$work/display2'; $record_server; for i in \$(seq 150); do [ -s '$work/picture.png' ] && exit 5; sleep 0.1; done; exit 9" \
  record "$work/second" >/dev/null 2>&1
status=$?
[ $status -eq 5 ] || fail "the command's status came back as $status (9: no picture)"
display=$(cat "$work/display2")
server_ended "$work/second" "$display" "after the command ended"
exit 0
