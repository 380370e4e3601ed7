#!/usr/bin/env bash
# scripts/netns-run hands on standard input and the exit status, and a TERM
# to the script ends everything inside the namespace.
# Exit 77 (skipped) where no namespace can be made here.
set -u
run=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

why=$("$run" true 2>&1 >/dev/null)
status=$?
if [ $status -eq 77 ]; then
  # Said the way GoogleTest says it, so that scripts/test counts the reason.
  echo "$0: Skipped"
  echo "needs the private network namespace of scripts/netns-run: ${why#netns-run: }"
  exit 77
fi
[ $status -eq 0 ] || fail "'true' gave $status"

"$run" sh -c 'exit 7' 2>/dev/null
[ $? -eq 7 ] || fail "the command's exit status was not handed on"

out=$(echo hello | "$run" cat 2>/dev/null)
[ "$out" = hello ] || fail "standard input did not reach the command (got '$out')"

marker="divarod-netns-signal-$$"
"$run" bash -c "exec -a $marker sleep 300" 2>/dev/null &
outer=$!
# The command itself (exactly its command line: netns-run's own arguments
# hold the marker too, and a TERM before netns-run is ready proves nothing).
for _ in $(seq 100); do pgrep -xf "$marker 300" >/dev/null && break; sleep 0.1; done
pgrep -xf "$marker 300" >/dev/null || fail "the command did not start"
kill -TERM "$outer"
wait "$outer" 2>/dev/null
for _ in $(seq 100); do pgrep -f "^$marker" >/dev/null || break; sleep 0.1; done
if pgrep -f "^$marker" >/dev/null; then
  pkill -KILL -f "^$marker"
  fail "the command outlived a TERM to netns-run"
fi
