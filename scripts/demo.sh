#!/usr/bin/env bash
# Builds everything and runs Qk14 against the simulated Z80 board in this terminal;
# with --board pic, QkP877W against the simulated PIC16F877 board.
# Options after "--" go to the monitor (for example: -- --ui sdl).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/install-packages.sh
cmake -S . -B build -DQK_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)"
board=z80
if [ "${1:-}" = "--board" ]; then
  board=${2:-}
  shift 2 || true
fi
case "$board" in
  z80) monitor=qk14; demo_dir="$root/build/demo"
       sim_options=(--change 8000:1:700 --change 8004:3:1500) ;;
  pic) monitor=qkp877w; demo_dir="$root/build/demo-pic"
       sim_options=(--board pic --change 020:1:700 --change 030:3:1500) ;;
  *) echo "usage: $0 [--board z80|pic] [-- monitor options]" >&2; exit 2 ;;
esac
if [ ! -x "build/monitors/$monitor/$monitor" ]; then
  echo "The $monitor program is not built in this version." >&2
  exit 1
fi
mkdir -p "$demo_dir"
cp -n "$root"/monitors/"$monitor"/demo/* "$demo_dir"/ 2>/dev/null || true
[ "${1:-}" = "--" ] && shift
sim_out=$(mktemp)
"$root/build/tools/target-sim/target-sim" --link "$demo_dir/board.tty" \
    "${sim_options[@]}" >"$sim_out" 2>/dev/null &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null; rm -f "$sim_out"' EXIT
for _ in $(seq 50); do [ -s "$sim_out" ] && break; sleep 0.1; done
cd "$demo_dir"
"$root/build/monitors/$monitor/$monitor" --port "COM1=$demo_dir/board.tty" "$@"
