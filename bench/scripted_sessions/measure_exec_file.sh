#!/usr/bin/env bash
# Runs `qk14 --exec-file` with 100 reads of 16 bytes (R0000, R0010, ...)
# against target-sim paced at 9600 bit/s, and reports:
#   - reads per second against the line-rate limit (38 bytes a read: 5 out,
#     33 back, 10 bit times each: 39.6 ms), from the simulator's request log:
#     first request's code byte to the last reply's end byte, plus the first
#     request's own 5.2 ms on the line;
#   - start to first request: launch to the first request in the simulator's
#     log (polled every millisecond), less that request's 5.2 ms on the line;
#   - the whole run's wall time, and whether every line of output came back.
#
#   bench/scripted_sessions/measure_exec_file.sh [BUILD_DIR] [ROUNDS]   # defaults: build, 3
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-3}
program="$build_dir/monitors/qk14/qk14"
sim="$build_dir/tools/target-sim/target-sim"
for binary in "$program" "$sim"; do
  [ -x "$binary" ] || { echo "missing $binary (build qk14 and target-sim)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/exec-bench-XXXXXX)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
printf 'CH=0\r\n' > QK.DEF
for i in $(seq 0 99); do printf 'R%04X\n' $((i * 16)); done > reads.txt

# A builtin wait (no process started while the start-up is timed) and the
# shell's own microsecond clock.
exec {idle_fd}<> <(:)
pause() { read -r -t "$1" -u "$idle_fd" _ || true; }
now_us() { echo "${EPOCHREALTIME/./}"; }

# A fresh simulator for each round, so that its log holds only this round.
start_simulator() {
  rm -f sim.log sim.out
  "$sim" --baud 9600 --link "$work/tty" --log "$work/sim.log" --log-reply-ends \
      --fill 0000=0123456789ABCDEF > sim.out 2> sim.err &
  sim_pid=$!
  for _ in $(seq 500); do [ -s sim.out ] && break; pause 0.01; done
  [ -s sim.out ] || { echo "target-sim did not start: $(cat sim.err)" >&2; exit 1; }
}
stop_simulator() { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true; sim_pid=""; }

request_ms=$(awk 'BEGIN { printf "%.2f", 5 * 10 / 9600 * 1000 }')
: > rounds.txt
for round in $(seq "$rounds"); do
  start_simulator
  started_us=$(now_us)
  XDG_CONFIG_HOME="$work/config" "$program" --port "COM1=$work/tty" --exec-file reads.txt > run.out 2> run.err &
  pid=$!
  first_seen_us=""
  for _ in $(seq 5000); do
    if [ -s sim.log ]; then first_seen_us=$(now_us); break; fi
    pause 0.001
  done
  status=0
  wait "$pid" || status=$?
  ended_us=$(now_us)
  stop_simulator
  [ -n "$first_seen_us" ] || { echo "qk14 sent no request: $(cat run.err)" >&2; exit 1; }
  lines=$(grep -c $'^R[0-9A-F]\{4\}\t[0-9A-F]\{32\}$' run.out || true)
  span_ms=$(awk '$2 == "RX" && first == "" { first = $1 } $2 == "END" { last = $1 }
                 END { printf "%.1f", (last - first) * 1000 }' sim.log)
  awk -v span="$span_ms" -v req="$request_ms" -v q="$started_us" -v t="$first_seen_us" -v e="$ended_us" \
      -v lines="$lines" -v status="$status" 'BEGIN {
    per_read = (span + req) / 100
    printf "%.2f %.1f %.1f %.1f %d %d\n", per_read, 39.58 / per_read * 100, (t - q) / 1e3 - req, (e - q) / 1e3, lines, status
  }' >> rounds.txt
done
echo "load average:     $(cut -d' ' -f1-3 /proc/loadavg)"
echo "line-rate limit:  39.58 ms a read of 16 bytes (38 bytes x 10 bits / 9600 bit/s)"
printf '%-6s  %12s  %6s  %22s  %10s  %6s  %6s\n' round "ms per read" share "start to first request" "whole run" lines exit
awk '{ printf "%-6d  %12.2f  %5.1f%%  %19.1f ms  %7.0f ms  %6d  %6d\n", NR, $1, $2, $3, $4, $5, $6 }' rounds.txt
sort -n -k1,1 rounds.txt | awk '{ l[NR] = $0 } END { split(l[int((NR + 1) / 2)], f, " ");
  printf "median: %.2f ms per read (%.1f %% of the line rate); ", f[1], f[2] }'
sort -n -k3,3 rounds.txt | awk '{ l[NR] = $0 } END { split(l[int((NR + 1) / 2)], f, " ");
  printf "start to first request %.1f ms (+-1 ms)\n", f[3] }'
