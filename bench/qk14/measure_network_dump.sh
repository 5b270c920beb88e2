#!/usr/bin/env bash
# The dump page through a network port: runs a monitor (qk14 or qkp877w) on
# the headless front end against target-sim at 9600 bit/s, in turns on the
# simulator's pseudo-terminal directly, through ser2net on 127.0.0.1 as
# rfc2217://, and through it as socket:// (raw TCP). Reports for each: dump
# rows per second against the line-rate limit, the monitor's CPU, and the
# network runs' CPU as a multiple of the local port's in the same run
# (ser2net's own CPU is shown beside, not counted).
#
#   bench/qk14/measure_network_dump.sh [BUILD_DIR] [SECONDS] [qk14|qkp877w]
#
# BUILD_DIR defaults to build, SECONDS (each measured stretch) to 8; ROUNDS
# (default 3) rounds of the three; each figure is the median of its rounds.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$root/build}" && pwd)
seconds=${2:-8}
program=${3:-qk14}
rounds=${ROUNDS:-3}
case "$program" in
  qk14) board=z80 ;;
  qkp877w) board=pic ;;
  *) echo "program must be qk14 or qkp877w" >&2; exit 2 ;;
esac
monitor=$build_dir/monitors/$program/$program
sim=$build_dir/tools/target-sim/target-sim
ser2net=$(command -v ser2net || echo /usr/sbin/ser2net)
for binary in "$monitor" "$sim" "$ser2net"; do
  [ -x "$binary" ] || { echo "missing $binary (build $program and target-sim; install ser2net)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/network-bench-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
printf 'CH=0\r\n' > QK.DEF
warm_up=2

"$sim" --board "$board" --baud 9600 --link "$work/tty" --log "$work/sim.log" \
    --fill 0000=0123456789ABCDEF > sim.out 2> sim.err &
pids+=($!)
for _ in $(seq 200); do [ -s sim.out ] && break; sleep 0.02; done
[ -s sim.out ] || { echo "target-sim did not start: $(cat sim.err)" >&2; exit 1; }

# ser2net with both accepters on free ports, in front of the simulator's pty.
# chardelay off: by default ser2net holds received bytes until the line has
# been quiet for two characters (at most 20 ms), which costs every reply that
# much; the README's example turns it off for the same reason.
listening() { grep -q "$(printf '0100007F:%04X 00000000:0000 0A' "$1")" /proc/net/tcp; }
free_port() {
  local port
  while port=$((20000 + RANDOM % 20000)); listening "$port" || [ "$port" = "${1:-}" ]; do :; done
  echo "$port"
}
rfc_port=$(free_port)
raw_port=$(free_port "$rfc_port")
device=$(readlink -f "$work/tty")
cat > ser2net.yaml <<EOF
connection: &rfc2217
  accepter: telnet(rfc2217),tcp,127.0.0.1,$rfc_port
  connector: serialdev,$device,9600n81,local
  options:
    chardelay: false
connection: &raw
  accepter: tcp,127.0.0.1,$raw_port
  connector: serialdev,$device,9600n81,local
  options:
    chardelay: false
EOF
"$ser2net" -n -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" > ser2net.out 2> ser2net.err &
server_pid=$!
pids+=("$server_pid")
for _ in $(seq 500); do listening "$rfc_port" && listening "$raw_port" && break; sleep 0.02; done
listening "$raw_port" || { echo "ser2net did not listen: $(cat ser2net.err)" >&2; exit 1; }

# Run time in nanoseconds of all a process's threads (first field of schedstat).
run_ns() {
  local total=0 t
  for t in /proc/"$1"/task/*/schedstat; do total=$((total + $(awk '{ print $1 }' "$t" 2>/dev/null || echo 0))); done
  echo "$total"
}
log_time() { awk 'END { print $1 }' sim.log; }

# One stretch of the monitor on PORT; prints: rows/s, monitor CPU %, ser2net CPU %.
measure() {
  printf 'wait %d\nclose\n' $(((warm_up + seconds + 6) * 1000)) > script.txt
  XDG_CONFIG_HOME="$work/config" "$monitor" --ui headless --script script.txt --port "COM1=$1" \
      > monitor.out 2> monitor.err &
  local client=$!
  sleep "$warm_up"
  local a b m0 m1 s0 s1 w0 w1
  a=$(log_time); m0=$(run_ns "$client"); s0=$(run_ns "$server_pid"); w0=$(date +%s%N)
  sleep "$seconds"
  b=$(log_time); m1=$(run_ns "$client"); s1=$(run_ns "$server_pid"); w1=$(date +%s%N)
  kill "$client" 2>/dev/null; wait "$client" 2>/dev/null || true
  awk -v a="$a" -v b="$b" -v m="$((m1 - m0))" -v s="$((s1 - s0))" -v w="$((w1 - w0))" '
    $1 > a && $1 <= b && $2 == "RX" && $NF == "1F" { rows++ }
    END { printf "%.3f %.4f %.4f\n", rows / (b - a), m / w * 100, s / w * 100 }' sim.log
}

: > local.rounds; : > rfc2217.rounds; : > socket.rounds
for _ in $(seq "$rounds"); do
  measure "$work/tty" >> local.rounds
  measure "rfc2217://127.0.0.1:$rfc_port" >> rfc2217.rounds
  measure "socket://127.0.0.1:$raw_port" >> socket.rounds
done
median() { sort -n -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'; }

echo "rounds:           $rounds x ($seconds s local, rfc2217://, socket://); medians"
local_cpu=$(median local.rounds 2)
awk -v limit="$(awk 'BEGIN { print 9600 / 380 }')" 'BEGIN {
  printf "line-rate limit:  %.2f rows/s (38 bytes x 10 bits at 9600 bit/s)\n", limit
  printf "%-12s %8s %7s %12s %10s %12s\n", "port", "rows/s", "share", "monitor CPU", "x local", "ser2net CPU" }'
for kind in local rfc2217 socket; do
  awk -v kind="$kind" -v rate="$(median $kind.rounds 1)" -v cpu="$(median $kind.rounds 2)" \
      -v server="$(median $kind.rounds 3)" -v base="$local_cpu" 'BEGIN {
    limit = 9600 / 380
    printf "%-12s %8.2f %6.1f%% %11.2f%% %9.2fx %11.2f%%\n", kind, rate, rate / limit * 100, cpu,
           (base > 0 ? cpu / base : 0), (kind == "local" ? 0 : server) }'
done
