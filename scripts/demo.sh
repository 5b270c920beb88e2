#!/usr/bin/env bash
# Builds everything and runs Qk14 against the simulated Z80 board in this terminal.
# Options after "--" go to qk14 (for example: -- --ui sdl).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/install-packages.sh
cmake -S . -B build -DQK_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)"
if [ ! -x build/monitors/qk14/qk14 ]; then
  echo "The qk14 program is not built yet in this version; the runtime and its tests are." >&2
  exit 1
fi
demo_dir="$root/build/demo"
mkdir -p "$demo_dir"
cp -n "$root"/monitors/qk14/demo/* "$demo_dir"/ 2>/dev/null || true
[ "${1:-}" = "--" ] && shift
sim_out=$(mktemp)
"$root/build/tools/target-sim/target-sim" --link "$demo_dir/board.tty" \
    --change 8000:1:700 --change 8004:3:1500 >"$sim_out" 2>/dev/null &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null; rm -f "$sim_out"' EXIT
for _ in $(seq 50); do [ -s "$sim_out" ] && break; sleep 0.1; done
cd "$demo_dir"
"$root/build/monitors/qk14/qk14" --port "COM1=$demo_dir/board.tty" "$@"
