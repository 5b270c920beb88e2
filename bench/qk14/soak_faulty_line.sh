#!/usr/bin/env bash
# A long run of Qk14 on a faulty line: one Qk14 refreshes the dump page,
# another logs the changes of a value (F11, "U/D"), each against its own
# target-sim. Every PERIOD seconds both boards are unplugged for 2 s and come
# back with the next fault of the cycle (late 400 ms, late 1500 ms, garbage,
# NUL, noise, short replies; each hitting the first 30 replies to a rotating
# address). Reports:
#   - dump samples (the screen read every SAMPLE seconds) in which any dump
#     row shows a byte its address does not hold: must be 0;
#   - change log lines whose value the watched byte never had (it counts up
#     by 2 from 00, so only even two-digit values are true) or whose
#     numbering skips: must be 0;
#   - resident memory and open descriptors of both programs after the first
#     period and at the end: must stay flat.
#
#   bench/qk14/soak_faulty_line.sh [BUILD_DIR] [MINUTES] [PERIOD_SECONDS]   # defaults: build, 30, 120
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$root/build}" && pwd)
minutes=${2:-30}
period=${3:-120}
sample=${SAMPLE:-0.5}
qk14="$build_dir/monitors/qk14/qk14"
sim="$build_dir/tools/target-sim/target-sim"
for binary in "$qk14" "$sim"; do
  [ -x "$binary" ] || { echo "missing $binary" >&2; exit 1; }
done

work=$(mktemp -d /tmp/soak-XXXXXX)
pids=()
dump_sim=""
log_sim=""
cleanup() {
  [ -n "$dump_sim" ] && kill "$dump_sim" 2>/dev/null
  [ -n "$log_sim" ] && kill "$log_sim" 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/dump" "$work/log"
printf 'CH=0\r\n' > "$work/dump/QK.DEF"
printf 'CH=0\r\n' > "$work/log/QK.DEF"
printf '2,3,CNT,80001,H\r\n' > "$work/log/U.DAT"

# Row k of the dump page (address k*16) starts with the byte Ak; the rest are 00.
row_fills=()
for k in 0 1 2 3 4 5 6 7 8 9 A B C D E F; do row_fills+=(--fill "00${k}0=A${k}"); done

faults=("late:400" "late:1500" "garbage" "nul" "noise:20" "short")
start_sims() {
  local fault=$1 round=$2
  local row; row=$(printf '%X' $((round % 16)))
  "$sim" --board z80 --link "$work/dump/tty" "${row_fills[@]}" --fault "$fault" \
      --faulty-address "00${row}0" --faulty-replies 30 > /dev/null 2>> "$work/sim.err" &
  dump_sim=$!
  "$sim" --board z80 --link "$work/log/tty" --fill 8000=00 --change 8000:2:300 --fault "$fault" \
      --faulty-address 8000 --faulty-replies 30 > /dev/null 2>> "$work/sim.err" &
  log_sim=$!
  for _ in $(seq 100); do [ -e "$work/dump/tty" ] && [ -e "$work/log/tty" ] && return; sleep 0.05; done
}
stop_sims() {
  kill "$dump_sim" "$log_sim" 2>/dev/null || true
  wait "$dump_sim" "$log_sim" 2>/dev/null || true
  dump_sim=""
  log_sim=""
}

start_sims "${faults[0]}" 0
printf 'live live.txt\nawait done\nclose\n' > "$work/dump/script.txt"
printf 'live live.txt\nuntil 3 0000 00\nkey F11\nuntil 6 File Name\ntext U/D\nkey Enter\nawait done\nclose\n' > "$work/log/script.txt"
(cd "$work/dump" && XDG_CONFIG_HOME="$work/config" exec "$qk14" --ui headless --script script.txt --port "COM1=$work/dump/tty" > out.txt 2> err.txt) &
dump_pid=$!
pids+=("$dump_pid")
(cd "$work/log" && XDG_CONFIG_HOME="$work/config" exec "$qk14" --ui headless --script script.txt --port "COM1=$work/log/tty" > out.txt 2> err.txt) &
log_pid=$!
pids+=("$log_pid")

resources() {  # rss_kb fds of a pid
  echo "$(awk '/^VmRSS:/ { print $2 }' "/proc/$1/status") $(ls "/proc/$1/fd" | wc -l)"
}

# A dump screen sample: the number of rows 3-18 holding a pair that is neither
# blank, the placeholder, nor that address's byte.
wrong_rows() {
  awk 'NR >= 4 && NR <= 19 {
    k = NR - 4; expected_first = sprintf("A%X", k)
    bytes = substr($0, 7, 47); bad = 0
    for (j = 0; j < 16; j++) {
      pair = substr(bytes, 3 * j + 1, 2)
      expected = (j == 0) ? expected_first : "00"
      if (pair != "  " && pair != "--" && pair != expected && pair != "") bad = 1
    }
    wrong += bad
  } END { print wrong + 0 }' "$1"
}

samples=0
wrong_samples=0
first_wrong=""
end=$(( $(date +%s) + minutes * 60 ))
next_switch=$(( $(date +%s) + period ))
round=0
early=""
while [ "$(date +%s)" -lt "$end" ]; do
  if [ "$(date +%s)" -ge "$next_switch" ]; then
    [ -z "$early" ] && early="$(resources "$dump_pid") $(resources "$log_pid")"
    stop_sims
    sleep 2
    round=$((round + 1))
    start_sims "${faults[$((round % ${#faults[@]}))]}" "$round"
    next_switch=$(( $(date +%s) + period ))
  fi
  if [ -s "$work/dump/live.txt" ]; then
    cp "$work/dump/live.txt" "$work/sample.txt"
    samples=$((samples + 1))
    bad=$(wrong_rows "$work/sample.txt")
    if [ "$bad" -gt 0 ]; then
      wrong_samples=$((wrong_samples + 1))
      [ -z "$first_wrong" ] && first_wrong=$(cat "$work/sample.txt")
    fi
  fi
  kill -0 "$dump_pid" 2>/dev/null && kill -0 "$log_pid" 2>/dev/null || { echo "a monitor ended early" >&2; break; }
  sleep "$sample"
done
late="$(resources "$dump_pid") $(resources "$log_pid")"
[ -z "$early" ] && early=$late
touch "$work/dump/done" "$work/log/done"
wait "$dump_pid" "$log_pid" || true

# Change log: "NNNN,YY/MM/DD,HH:MM:SS,VV" with VV even, numbers consecutive
# (the end-of-text byte the file closes with is no line).
read -r log_lines wrong_lines < <(tr -d '\r\032' < "$work/log/U.DAS" | awk -F, '
  { n++
    if (NF != 4 || $4 !~ /^[0-9A-F][0-9A-F]$/ || index("02468ACE", substr($4, 2, 1)) == 0 || $1 + 0 != n % 10000) wrong++ }
  END { print n + 0, wrong + 0 }')

echo "run:             $minutes min, fault and 2 s unplug every $period s ($((round + 1)) periods)"
echo "dump samples:    $samples, out of step: $wrong_samples"
echo "change log:      $log_lines lines, wrong: $wrong_lines"
read -r d_rss0 d_fd0 l_rss0 l_fd0 <<< "$early"
read -r d_rss1 d_fd1 l_rss1 l_fd1 <<< "$late"
echo "dump monitor:    RSS ${d_rss0} -> ${d_rss1} kB, descriptors ${d_fd0} -> ${d_fd1}"
echo "logging monitor: RSS ${l_rss0} -> ${l_rss1} kB, descriptors ${l_fd0} -> ${l_fd1}"
if [ -n "$first_wrong" ]; then echo "first wrong sample:"; echo "$first_wrong"; fi
