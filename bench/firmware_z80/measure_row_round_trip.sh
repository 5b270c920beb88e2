#!/usr/bin/env bash
# Round trip per dump row on the Z80 firmware running on simh (a Z80 at
# 4 MHz): runs qk14 on the headless front end on the dump page against
# firmware/z80 in simh for a while with a wire trace, and reports the time per
# row request (4 digits and code 1F, its 33-byte reply) over the stretch
# after a warm-up, with the spread of request-to-request times; also the
# simulator's CPU use meanwhile.
#
#   bench/firmware_z80/measure_row_round_trip.sh [BUILD_DIR] [SECONDS]
#
# BUILD_DIR defaults to build, SECONDS (the measured stretch) to 10. Needs
# qk14 and the firmware image built there (targets qk14, qk14mon_image).
# CLOCK_KHZ=0 in the environment runs the Z80 unthrottled (default 4000).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$root/build}" && pwd)
seconds=${2:-10}
warm_up=2
qk14="$build_dir/monitors/qk14/qk14"
image="$build_dir/firmware/z80/qk14mon.bin"
for file in "$qk14" "$image"; do
  [ -e "$file" ] || { echo "missing $file (build qk14 and qk14mon_image)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/z80-row-bench-XXXXXX)
board_pid=""
cleanup() {
  [ -n "$board_pid" ] && kill "$board_pid" 2>/dev/null && wait "$board_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
printf 'CH=0\r\n' > QK.DEF

"$root/firmware/z80/run-in-simh.sh" --image "$image" --clock "${CLOCK_KHZ:-4000}" "$work/tty" > board.out 2> board.err &
board_pid=$!
for _ in $(seq 300); do grep -q '^ready' board.out && break; sleep 0.1; done
grep -q '^ready' board.out || { echo "the firmware did not start: $(cat board.err)" >&2; exit 1; }
simh_pid=$(pgrep -n -P "$board_pid" altairz80)
clock_ticks=$(getconf CLK_TCK)
simh_ticks() { awk '{ print $14 + $15 }' "/proc/$simh_pid/stat"; }

# qk14 on the dump page for the warm-up and the stretch.
printf 'wait %d\nclose\n' $(((warm_up + seconds) * 1000)) > script.txt
XDG_CONFIG_HOME="$work/config" "$qk14" --ui headless --script script.txt --port "COM1=$work/tty" \
    --trace wire.txt > qk14.out 2> qk14.err &
qk14_pid=$!
sleep "$warm_up"
t0=$(simh_ticks)
sleep "$seconds"
t1=$(simh_ticks)
wait "$qk14_pid" || true

# Trace lines: "MILLISECONDS TX hex... |text|"; a row request ends in 1F.
awk -v from=$((warm_up * 1000)) -v to=$(((warm_up + seconds) * 1000)) \
    '$2 == "TX" && $1 >= from && $1 < to && / 1F +\|/ { print $1 }' wire.txt > rows.txt
[ "$(wc -l < rows.txt)" -ge 2 ] || { echo "too few row requests traced: $(cat qk14.err)" >&2; exit 1; }
awk '{ if (NR == 1) first = $1; last = $1 }
     END { printf "rows:             %d in %.1f s\n", NR - 1, (last - first) / 1000
           printf "per row:          %.2f ms (%.1f rows/s)\n", (last - first) / (NR - 1), (NR - 1) * 1000 / (last - first) }' rows.txt
awk 'NR > 1 { print $1 - previous } { previous = $1 }' rows.txt | sort -n |
  awk '{ d[NR] = $1 }
       END { p90 = int(NR * 0.9); if (p90 < 1) p90 = 1
             printf "request to next:  median %.1f ms, 90th percentile %.1f ms, longest %.1f ms\n", d[int((NR + 1) / 2)], d[p90], d[NR] }'
awk -v a="$t0" -v b="$t1" -v hz="$clock_ticks" -v s="$seconds" \
    'BEGIN { printf "simulator CPU:    %.1f %% of one core\n", (b - a) / hz / s * 100 }'
