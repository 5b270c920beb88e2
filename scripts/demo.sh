#!/usr/bin/env bash
# Builds the two programs, the simulator and the message library (no tests)
# and runs Qk14 against the simulated Z80 board in this terminal;
# with --board pic, QkP877W against the simulated PIC16F877 board.
# With --cpu z80: Qk14 against the Z80 monitor firmware (firmware/z80) running
# on a simulated Z80 (simh's AltairZ80) instead; --cpu pic runs
# scripts/demo-pic-cpu.sh, the same for QkP877W and the PIC16F877 firmware.
# Options after "--" go to the monitor (for example: -- --ui sdl).
# The demo runs in build/demo (build/demo-pic), which gets the settings and
# watch files of monitors/qk14/demo (monitors/qkp877w/demo; change logs written
# there are kept). Leave the monitor by closing its window, or with Ctrl+C and
# a key in a terminal; that also stops the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

build() {
  ./scripts/install-packages.sh --demo
  # Tests need GoogleTest: a build folder configured for them keeps them.
  local tests=OFF
  dpkg-query -W -f='${Status}' libgtest-dev 2>/dev/null | grep -q "install ok installed" && tests=ON
  cmake -S . -B build -DQK_BENCH=OFF -DQK_TESTS="$tests" >/dev/null
  cmake --build build -j "$(nproc)" --target qk14 qkp877w target-sim qk_message_library "$@"
}

# Copies the demo files into the demo directory, replacing older copies.
prepare_demo_dir() {
  local source=$1 target=$2
  mkdir -p "$target"
  cp -f "$source"/* "$target"/
}

# Starts target-sim on a pseudo-terminal linked at $1 with the board options
# that follow; sets sim_pid and returns once the simulator answers.
start_simulator() {
  local link=$1
  shift
  local ready
  ready=$(mktemp)
  "$root/build/tools/target-sim/target-sim" --link "$link" "$@" >"$ready" 2>/dev/null &
  sim_pid=$!
  for _ in $(seq 100); do [ -s "$ready" ] && break; sleep 0.1; done
  rm -f "$ready"
  kill -0 "$sim_pid" 2>/dev/null || { echo "target-sim did not start" >&2; exit 1; }
}

stop_simulator() {
  if [ -n "${sim_pid:-}" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}

# Starts the Z80 firmware on simh with its line linked at $1; sets sim_pid
# and returns once the firmware answers.
start_z80_cpu() {
  local link=$1 ready
  ready=$(mktemp)
  "$root/firmware/z80/run-in-simh.sh" --image "$root/build/firmware/z80/qk14mon.bin" "$link" >"$ready" &
  sim_pid=$!
  for _ in $(seq 300); do grep -q '^ready' "$ready" && break; sleep 0.1; done
  if ! grep -q '^ready' "$ready"; then
    rm -f "$ready"
    echo "the Z80 firmware did not start on simh" >&2
    exit 1
  fi
  rm -f "$ready"
}

usage() {
  echo "usage: $0 [--board z80|pic | --cpu z80|pic] [-- monitor options]" >&2
  exit 2
}

board=z80
cpu=
case "${1:-}" in
  --board) board=${2:-}; shift 2 || usage ;;
  --cpu) cpu=${2:-}; board=$cpu; shift 2 || usage ;;
esac
if [ "$cpu" = pic ]; then
  if [ -x scripts/demo-pic-cpu.sh ]; then
    exec scripts/demo-pic-cpu.sh "$@"
  fi
  echo "The demo on a simulated PIC16F877 is not available in this version." >&2
  exit 1
fi
[ -z "$cpu" ] || [ "$cpu" = z80 ] || usage
case "$board" in
  z80) monitor=qk14; demo_dir="$root/build/demo" ;;
  pic) monitor=qkp877w; demo_dir="$root/build/demo-pic" ;;
  *) usage ;;
esac
[ -n "$cpu" ] && demo_dir="$root/build/demo-z80-cpu"
[ "${1:-}" = "--" ] && shift

if [ -n "$cpu" ]; then
  build qk14mon_image
  [ -f build/firmware/z80/qk14mon.bin ] || { echo "The Z80 firmware was not built (is z80asm installed?)" >&2; exit 1; }
else
  build
fi
if [ ! -x "build/monitors/$monitor/$monitor" ]; then
  echo "The $monitor program is not built in this version." >&2
  exit 1
fi

trap stop_simulator EXIT
if [ -n "$cpu" ]; then
  # The firmware's own settings and watch pages: its counter at FF00h changes
  # by itself.
  prepare_demo_dir "$root/firmware/z80/demo" "$demo_dir"
  start_z80_cpu "$demo_dir/board.tty"
elif [ "$board" = pic ]; then
  prepare_demo_dir "$root/monitors/$monitor/demo" "$demo_dir"
  # Values for the watch pages; COUNTER (020) and STEPS (030) change while the demo runs.
  start_simulator "$demo_dir/board.tty" --board pic \
      --fill 020=00123456 --change 020:1:700 --change 030:3:1500
else
  prepare_demo_dir "$root/monitors/$monitor/demo" "$demo_dir"
  # Values for the watch pages; SPEED (8000) and RAW (8004) change while the demo runs.
  start_simulator "$demo_dir/board.tty" \
      --fill 8000=2AA53412DEADBEEF07 --fill 8010=E803 \
      --change 8000:1:700 --change 8004:3:1500
fi
# The demo keeps its own settings file: the runtime finds its message texts in
# the build folder, and the error log stays with the demo.
printf '[ENV]\nKaxel=%s/\n' "$root/build/monitors/$monitor" >"$demo_dir/settings.ini"
export QK_SETTINGS_FILE="$demo_dir/settings.ini"
cd "$demo_dir"
"$root/build/monitors/$monitor/$monitor" --port "COM1=$demo_dir/board.tty" "$@"
