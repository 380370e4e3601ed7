#!/usr/bin/env bash
# tests/e2e/demo/demo_targets.sh SCRIPTS BUILD: what scripts/run builds (the
# targets it names, with everything they depend on) holds what the demo
# runs: the program, the simulator, the shipped data and the skin files
# beside them; and nothing of the tests, fuzz targets or benchmarks. Read
# from the build's own plan (ninja), nothing is built.
set -u
scripts=$1 build=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
targets=$(sed -n 's/^scripts\/build release \(.*\)$/\1/p' "$scripts/run")
[[ -n "$targets" ]] || fail "scripts/run names no build targets"
# shellcheck disable=SC2086 # one word per target
plan=$(ninja -C "$build" -t commands $targets) || fail "ninja knows no such targets: $targets"
for needed in "-o bin/divarod " "-o bin/divarod-devsim " "copy_shipped_data.cmake" "divarod_skingen \""; do
  grep -qF -- "$needed" <<<"$plan" || fail "what scripts/run builds lacks: $needed"
done
unwanted=$(grep -oE '(-c|-o) [^ ]*tests/[^ ]*' <<<"$plan" | head -5)
[[ -z "$unwanted" ]] || fail "scripts/run builds tests: $unwanted"
exit 0
