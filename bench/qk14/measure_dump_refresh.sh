#!/usr/bin/env bash
# Runs a monitor (qk14 or qkp877w) on the headless front end against
# target-sim at 9600 bit/s, then the plain reference loop
# (bench/serial/reference_poll_loop) against the same simulator, and reports
# for both: dump rows per second against the line-rate limit, CPU use while
# the page refreshes, and the median time from a reply's end byte leaving the
# simulator to the next request reaching it; then the monitor's CPU as a
# multiple of the loop's. For the monitor also start-up time to the first row
# request and resident memory.
#
#   bench/qk14/measure_dump_refresh.sh [BUILD_DIR] [SECONDS] [qk14|qkp877w]
#
# BUILD_DIR defaults to build-e2e, SECONDS (each measured stretch) to 10.
# ROUNDS (default 3) alternating stretches of each are run; medians are shown.
# MONITOR=PATH in the environment runs another build of the monitor (for a
# before/after comparison) with this build's simulator and reference loop.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$root/build-e2e}" && pwd)
seconds=${2:-10}
program=${3:-qk14}
case "$program" in
  qk14) board=z80 ;;
  qkp877w) board=pic ;;
  *) echo "program must be qk14 or qkp877w" >&2; exit 2 ;;
esac
monitor=${MONITOR:-$build_dir/monitors/$program/$program}
sim="$build_dir/tools/target-sim/target-sim"
reference="$build_dir/bench/serial/reference_poll_loop"
for binary in "$monitor" "$sim" "$reference"; do
  [ -x "$binary" ] || { echo "missing $binary (build $program, target-sim and reference_poll_loop)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/dump-bench-XXXXXX)
sim_pid=""
client_pid=""
cleanup() {
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null && wait "$client_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
printf 'CH=0\r\n' > QK.DEF

now_ns() { date +%s%N; }
clock_ticks=$(getconf CLK_TCK)
warm_up=2

# The simulator at 9600 bit/s, paced, logging when each reply's end byte went out.
"$sim" --board "$board" --baud 9600 --link "$work/tty" --log "$work/sim.log" --log-reply-ends \
    --fill 0000=0123456789ABCDEF > sim.out 2> sim.err &
sim_pid=$!
for _ in $(seq 200); do [ -s sim.out ] && break; sleep 0.02; done
[ -s sim.out ] || { echo "target-sim did not start: $(cat sim.err)" >&2; exit 1; }

# CPU of the client in all its threads: user and system ticks (fields 14 and
# 15 of /proc/PID/stat) and the scheduler's run time in nanoseconds (first
# field of each thread's schedstat), which is exact where ticks are 10 ms.
cpu_sample() {
  local ticks run_ns=0 t
  ticks=$(awk '{ print $14, $15 }' "/proc/$client_pid/stat")
  for t in /proc/"$client_pid"/task/*/schedstat; do
    run_ns=$((run_ns + $(awk '{ print $1 }' "$t" 2>/dev/null || echo 0)))
  done
  echo "$ticks $run_ns"
}
log_time() { awk 'END { print $1 }' sim.log; }

# Measures the running client over SECONDS after the warm-up; prints one line:
# rows span user_s sys_s run_s wall_s latency_median_ms
measure_client() {
  sleep "$warm_up"
  local a b u0 s0 r0 u1 s1 r1 w0 w1
  a=$(log_time)
  read -r u0 s0 r0 < <(cpu_sample)
  w0=$(now_ns)
  sleep "$seconds"
  read -r u1 s1 r1 < <(cpu_sample)
  w1=$(now_ns)
  b=$(log_time)
  # Row requests (digits and code 1F) in the window, and for each reply end
  # in it the time until the next request arrived.
  local median
  median=$(awk -v a="$a" -v b="$b" '
    $1 <= a || $1 > b { next }
    $2 == "END" { end = $1; next }
    $2 == "RX" && $NF == "1F" && end != "" { printf "%.3f\n", ($1 - end) * 1000; end = "" }' sim.log |
    sort -n | awk '{ v[NR] = $1 } END { print NR == 0 ? -1 : (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
  awk -v a="$a" -v b="$b" -v u0="$u0" -v u1="$u1" -v s0="$s0" -v s1="$s1" -v r0="$r0" -v r1="$r1" \
      -v hz="$clock_ticks" -v w0="$w0" -v w1="$w1" -v median="$median" '
    $1 > a && $1 <= b && $2 == "RX" && $NF == "1F" { rows++ }
    END {
      printf "%d %.3f %.3f %.3f %.4f %.3f %.3f\n", rows, b - a, (u1 - u0) / hz, (s1 - s0) / hz,
             (r1 - r0) / 1e9, (w1 - w0) / 1e9, median
    }' sim.log
}

# Starts the monitor on the dump page; sets client_pid and startup_ms.
# Start-up: from launching the monitor to its first row request reaching the
# simulator's log, less the 5 request bytes' line time. The log is followed
# with bash builtins alone (read, $EPOCHREALTIME, a 1 ms read time-out on a
# FIFO nobody writes as the pause), so the watching takes no fork that would
# compete with the monitor's start-up for the CPU.
start_monitor() {
  local total=$((warm_up + seconds + 6)) started first_seen="" line pending=""
  printf 'wait %d\nclose\n' $((total * 1000)) > script.txt
  [ -p pause.fifo ] || mkfifo pause.fifo
  exec 8<> pause.fifo
  exec 7< sim.log
  while read -r -u 7 line; do :; done  # what is logged already
  started=${EPOCHREALTIME/,/.}
  XDG_CONFIG_HOME="$work/config" "$monitor" --ui headless --script script.txt --port "COM1=$work/tty" \
      > monitor.out 2> monitor.err &
  client_pid=$!
  local deadline=$(( ${started%.*} + 5 ))
  while [ "${EPOCHREALTIME%[.,]*}" -lt "$deadline" ]; do
    if read -r -u 7 line; then
      line=$pending$line
      pending=""
      if [[ $line == *" RX "* ]]; then first_seen=${EPOCHREALTIME/,/.}; break; fi
    else
      pending+=$line
      read -r -t 0.001 -u 8 line || true
    fi
  done
  exec 7<&- 8>&-
  [ -n "$first_seen" ] || { echo "$program sent no request: $(cat monitor.err)" >&2; exit 1; }
  startup_ms=$(awk -v q="$started" -v t="$first_seen" \
    'BEGIN { printf "%.1f", (t - q) * 1000 - 5 * 10 / 9600 * 1000 }')
}

stop_client() {
  kill "$client_pid" 2>/dev/null; wait "$client_pid" 2>/dev/null || true
  client_pid=""
}

# ROUNDS alternating stretches of the monitor and the reference loop against
# the same simulator; the figures reported are the medians of the rounds.
rounds=${ROUNDS:-3}
: > monitor.rounds
: > reference.rounds
: > startup.rounds
for round in $(seq "$rounds"); do
  start_monitor
  echo "$startup_ms" >> startup.rounds
  measure_client >> monitor.rounds
  if [ "$round" = 1 ]; then
    rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$client_pid/status")
    hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$client_pid/status")
  fi
  stop_client
  "$reference" "$work/tty" > reference.out 2> reference.err &
  client_pid=$!
  measure_client >> reference.rounds
  stop_client
done
# Start-up: the median of the rounds' start-ups; all of them shown beside it.
startup_ms=$(sort -n startup.rounds | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
startup_all=$(tr '\n' ' ' < startup.rounds)
[ -n "${BENCH_DEBUG:-}" ] && cat monitor.rounds reference.rounds >&2 && cp sim.log "$BENCH_DEBUG"

# The figures of the round whose CPU (run time, column 5) is the median, so
# that every figure shown comes from one stretch.
median_figures() {
  sort -n -k5,5 "$1" | awk '{ line[NR] = $0 } END { print line[int((NR + 1) / 2)] }'
}
monitor_figures=$(median_figures monitor.rounds)
reference_figures=$(median_figures reference.rounds)
echo "rounds:           $rounds alternating stretches of $seconds s each; medians"

awk -v name="$program" -v m="$monitor_figures" -v r="$reference_figures" -v startup="$startup_ms" -v startup_all="$startup_all" \
    -v rss="$rss_kb" -v hwm="$hwm_kb" 'BEGIN {
  limit = 9600 / (38 * 10)
  printf "line-rate limit:  %.2f rows/s (38 bytes x 10 bits / 9600 = %.1f ms a row)\n", limit, 1000 / limit
  printf "%-16s  %7s  %6s  %24s  %10s\n", "", "rows/s", "share", "CPU of one core", "latency"
  split(m, mf, " "); split(r, rf, " ")
  for (k = 0; k < 2; k++) {
    if (k == 0) { label = name; for (i in mf) f[i] = mf[i] } else { label = "reference loop"; for (i in rf) f[i] = rf[i] }
    rate = f[1] / f[2]
    cpu[k] = f[5] / f[6] * 100
    printf "%-16s  %7.2f  %5.1f%%  %5.2f%% (user %.1f, sys %.1f)  %7.2f ms\n", label, rate, rate / limit * 100,
           cpu[k], f[3] / f[6] * 100, f[4] / f[6] * 100, f[7]
  }
  printf "CPU ratio:        %.2f x the reference loop\n", (cpu[1] > 0) ? cpu[0] / cpu[1] : 0
  printf "start-up:         %s ms to the first row request (+-3 ms; median of %s)\n", startup, startup_all
  printf "resident memory:  %.1f MB now, %.1f MB peak\n", rss / 1024, hwm / 1024
}'
