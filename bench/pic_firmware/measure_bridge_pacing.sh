#!/usr/bin/env bash
# Measures gpsim-bridge running the PIC16F877 firmware: how closely simulated
# time follows real time, the processor time of the bridge and gpsim together,
# and the time per dump row as QkP877W (headless, dump page) sees it at
# 9600 bit/s (a real line: 38 characters of 10 bits = 39.6 ms). First with no
# client (the line quiet), then with QkP877W refreshing its dump page.
#
#   bench/pic_firmware/measure_bridge_pacing.sh [BUILD_DIR] [SECONDS]
#
# BUILD_DIR defaults to build, SECONDS (each stretch) to 20. Budgets: simulated
# time within 2 % of real time, at most 15 % of a core.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$root/build}" && pwd)
seconds=${2:-20}
bridge="$build_dir/tools/gpsim-bridge/gpsim-bridge"
image="$build_dir/firmware/pic16f877/qkmon877.hex"
monitor="$build_dir/monitors/qkp877w/qkp877w"
for file in "$bridge" "$image" "$monitor"; do
  [ -e "$file" ] || { echo "missing $file (build gpsim-bridge, firmware_pic16f877 and qkp877w)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/bridge-bench-XXXXXX)
bridge_pid=""
client_pid=""
cleanup() {
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null && wait "$client_pid" 2>/dev/null
  [ -n "$bridge_pid" ] && kill "$bridge_pid" 2>/dev/null && wait "$bridge_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
printf 'CH=0\r\n' > QK.DEF

# Starts the bridge; returns once it reports its terminal.
start_bridge() {
  : > bridge.err
  "$bridge" --hex "$image" --link "$work/tty" --report > bridge.out 2> bridge.err &
  bridge_pid=$!
  for _ in $(seq 300); do [ -s bridge.out ] && return; sleep 0.1; done
  echo "gpsim-bridge did not start: $(cat bridge.err)" >&2
  exit 1
}

# Stops the bridge and prints its report under the title $1.
stop_bridge() {
  kill "$bridge_pid"
  wait "$bridge_pid" || true
  bridge_pid=""
  echo "== $1"
  sed 's/^gpsim-bridge: /  /' bridge.err
}

start_bridge
sleep "$seconds"
stop_bridge "line quiet, $seconds s"

start_bridge
printf 'live live.txt\nawait done\nclose\n' > script.txt
XDG_CONFIG_HOME="$work/config" "$monitor" --ui headless --script script.txt --port "COM1=$work/tty" \
    > qkp877w.out 2> qkp877w.err &
client_pid=$!
sleep "$seconds"
touch done
wait "$client_pid" || true
client_pid=""
stop_bridge "QkP877W dump page, $seconds s (reply ends: one per dump row; 39.6 ms on a real line)"
