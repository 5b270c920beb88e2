#!/usr/bin/env bash
# Runs qk14 on the headless front end against target-sim at 9600 bit/s and
# reports: dump rows per second against the line-rate limit, qk14's CPU use
# while it refreshes the dump page, start-up time to the first row request,
# and resident memory.
#
#   bench/qk14/measure_dump_refresh.sh [BUILD_DIR] [SECONDS]
#
# BUILD_DIR defaults to build-e2e, SECONDS (the measured stretch) to 10.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$root/build-e2e}" && pwd)
seconds=${2:-10}
qk14="$build_dir/monitors/qk14/qk14"
sim="$build_dir/tools/target-sim/target-sim"
for program in "$qk14" "$sim"; do
  [ -x "$program" ] || { echo "missing $program (build the qk14 and target-sim targets)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/qk14-bench-XXXXXX)
sim_pid=""
qk14_pid=""
cleanup() {
  [ -n "$qk14_pid" ] && kill "$qk14_pid" 2>/dev/null && wait "$qk14_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
printf 'CH=0\r\n' > QK.DEF

now_ns() { date +%s%N; }

# The simulator at 9600 bit/s, paced.
"$sim" --baud 9600 --link "$work/tty" --log "$work/sim.log" --fill 0000=0123456789ABCDEF > sim.out 2> sim.err &
sim_pid=$!
for _ in $(seq 200); do [ -s sim.out ] && break; sleep 0.02; done
[ -s sim.out ] || { echo "target-sim did not start: $(cat sim.err)" >&2; exit 1; }

warm_up=2
total=$((warm_up + seconds + 1))
printf 'wait %d\nclose\n' $((total * 1000)) > script.txt
clock_ticks=$(getconf CLK_TCK)
# User and system CPU ticks of qk14 (fields 14 and 15 of /proc/PID/stat).
cpu_ticks() { awk '{ print $14, $15 }' "/proc/$qk14_pid/stat"; }

qk14_started_ns=$(now_ns)
XDG_CONFIG_HOME="$work/config" "$qk14" --ui headless --script script.txt --port "COM1=$work/tty" \
    > qk14.out 2> qk14.err &
qk14_pid=$!

# Start-up: from launching qk14 to the first dump-row request reaching the
# simulator (frame, dump page and channel open done), less the 5 request
# bytes' line time. The log stays empty until that request; polled every 2 ms.
first_seen_ns=""
for _ in $(seq 2500); do
  if [ -s sim.log ]; then first_seen_ns=$(now_ns); break; fi
  sleep 0.002
done
[ -n "$first_seen_ns" ] || { echo "qk14 sent no request: $(cat qk14.err)" >&2; exit 1; }
startup_ms=$(awk -v q="$qk14_started_ns" -v t="$first_seen_ns" \
  'BEGIN { printf "%.1f", (t - q) / 1e6 - 5 * 10 / 9600 * 1000 }')

sleep "$warm_up"
window_start=$(awk 'END { print $1 }' sim.log)
read -r user_start sys_start < <(cpu_ticks)
wall_start_ns=$(now_ns)
sleep "$seconds"
read -r user_end sys_end < <(cpu_ticks)
wall_end_ns=$(now_ns)
window_end=$(awk 'END { print $1 }' sim.log)
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$qk14_pid/status")
hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$qk14_pid/status")

wait "$qk14_pid" || true
qk14_pid=""

# Row requests (4 digits and code 1F) that reached the simulator in the window.
rows=$(awk -v a="$window_start" -v b="$window_end" \
  '$2 == "RX" && $1 > a && $1 <= b && NF == 7 && $7 == "1F" { n++ } END { print n + 0 }' sim.log)
awk -v rows="$rows" -v a="$window_start" -v b="$window_end" \
    -v u0="$user_start" -v u1="$user_end" -v s0="$sys_start" -v s1="$sys_end" -v hz="$clock_ticks" -v w0="$wall_start_ns" -v w1="$wall_end_ns" \
    -v startup="$startup_ms" -v rss="$rss_kb" -v hwm="$hwm_kb" 'BEGIN {
  span = b - a
  rate = rows / span
  limit = 9600 / (38 * 10)
  wall = (w1 - w0) / 1e9
  user_pct = (u1 - u0) / hz / wall * 100
  sys_pct = (s1 - s0) / hz / wall * 100
  printf "dump rows:        %d in %.2f s = %.2f rows/s\n", rows, span, rate
  printf "line-rate limit:  %.2f rows/s (38 bytes x 10 bits / 9600 = %.1f ms a row)\n", limit, 1000 / limit
  printf "share of limit:   %.1f %%\n", rate / limit * 100
  printf "qk14 CPU:         %.1f %% of one core (user %.1f %%, system %.1f %%)\n", user_pct + sys_pct, user_pct, sys_pct
  printf "start-up:         %s ms to the first row request (+-3 ms)\n", startup
  printf "resident memory:  %.1f MB now, %.1f MB peak\n", rss / 1024, hwm / 1024
}'
