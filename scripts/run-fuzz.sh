#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
./scripts/install-packages.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQK_FUZZ=ON -DQK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j "$(nproc)" --target fuzz_targets
# One target per core at a time, each for the full time; each target's
# output is shown when it ends.
run_target() {
  local target=$1 name corpus seeds code=0
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  seeds="fuzz/seeds/$name"
  mkdir -p "$corpus"
  if [ -d "$seeds" ]; then
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" "$seeds" > "build-fuzz/$name.log" 2>&1 || code=$?
  else
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" > "build-fuzz/$name.log" 2>&1 || code=$?
  fi
  echo "== $name for ${seconds}s: exit $code"
  tail -n 20 "build-fuzz/$name.log"
  return $code
}
status=0
running=0
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  run_target "$target" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
