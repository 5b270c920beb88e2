#!/usr/bin/env bash
# Runs QkP877W in this terminal against the PIC16F877 resident monitor
# (firmware/pic16f877) on a simulated CPU: gpsim through gpsim-bridge, paced to
# real time at 9600 bit/s. Builds what it needs first (and installs gputils and
# gpsim with the other packages). Options after "--" go to QkP877W (for
# example: -- --ui sdl).
# The demo runs in build/demo-pic-cpu with the settings and watch files of
# monitors/qkp877w/demo: COUNTER and WORD20 (020-021) show the count the
# firmware's Timer1 keeps. Leave QkP877W by closing its window, or with Ctrl+C
# and a key in a terminal; that also stops the bridge and gpsim.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
[ "${1:-}" = "--" ] && shift

./scripts/install-packages.sh --demo
# Tests need GoogleTest: a build folder configured for them keeps them.
tests=OFF
dpkg-query -W -f='${Status}' libgtest-dev 2>/dev/null | grep -q "install ok installed" && tests=ON
cmake -S . -B build -DQK_BENCH=OFF -DQK_TESTS="$tests" >/dev/null
cmake --build build -j "$(nproc)" --target qkp877w gpsim-bridge firmware_pic16f877 qk_message_library

demo_dir="$root/build/demo-pic-cpu"
mkdir -p "$demo_dir"
cp -f "$root"/monitors/qkp877w/demo/* "$demo_dir"/

bridge_pid=""
stop_bridge() {
  if [ -n "$bridge_pid" ]; then
    kill "$bridge_pid" 2>/dev/null || true
    wait "$bridge_pid" 2>/dev/null || true
  fi
}
trap stop_bridge EXIT

# The bridge prints the pseudo-terminal's path once the firmware runs.
ready=$(mktemp)
"$root/build/tools/gpsim-bridge/gpsim-bridge" --hex "$root/build/firmware/pic16f877/qkmon877.hex" \
    --link "$demo_dir/board.tty" >"$ready" 2>"$demo_dir/bridge.err" &
bridge_pid=$!
for _ in $(seq 300); do [ -s "$ready" ] && break; kill -0 "$bridge_pid" 2>/dev/null || break; sleep 0.1; done
started=no
[ -s "$ready" ] && started=yes
rm -f "$ready"
if [ "$started" != yes ] || ! kill -0 "$bridge_pid" 2>/dev/null; then
  echo "gpsim-bridge did not start:" >&2
  cat "$demo_dir/bridge.err" >&2
  exit 1
fi

# The demo keeps its own settings file: the runtime finds its message texts in
# the build folder, and the error log stays with the demo.
printf '[ENV]\nKaxel=%s/\n' "$root/build/monitors/qkp877w" >"$demo_dir/settings.ini"
export QK_SETTINGS_FILE="$demo_dir/settings.ini"
cd "$demo_dir"
"$root/build/monitors/qkp877w/qkp877w" --port "COM1=$demo_dir/board.tty" "$@"
