#!/usr/bin/env bash
# Runs the Z80 monitor image on simh's AltairZ80 (a Z80 at 4 MHz, the image
# loaded at 0000h) with the serial card's first port, simh's console, on a
# pseudo-terminal linked at LINK. Prints "ready LINK" once the monitor
# answers there, then keeps running until killed; this process becomes socat,
# so killing it (even with SIGKILL) ends the simulator too.
#
# usage: run-in-simh.sh [--image FILE] [--clock KHZ] LINK
#   --image FILE  the monitor image (default: qk14mon.bin next to this script)
#   --clock KHZ   simulated CPU clock (default 4000; 0: as fast as the host goes)
set -euo pipefail

image="$(dirname "$0")/qk14mon.bin"
clock=4000
while [ $# -gt 1 ]; do
  case "$1" in
    --image) image=$2; shift 2 ;;
    --clock) clock=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -ne 1 ]; then
  echo "usage: $0 [--image FILE] [--clock KHZ] LINK" >&2
  exit 2
fi
link=$1
for program in altairz80 socat; do
  command -v "$program" >/dev/null || { echo "$0: $program not found (Debian packages simh, socat)" >&2; exit 1; }
done
[ -r "$image" ] || { echo "$0: no monitor image at $image" >&2; exit 1; }

# A link left behind by a simulator that was killed.
if [ -L "$link" ]; then rm -f "$link"; fi
if [ -e "$link" ]; then
  echo "$0: $link exists and is not a link" >&2
  exit 1
fi

# The simulator's start-up script, beside a copy of the image (simh's
# commands take no quoted names). The SS1 support card is in for its
# interrupt controllers, whose mask registers (ports 51h, 53h) read back what
# was written to them: ports to try I/O commands on. No sleep after an empty
# status read: it would starve the polling Z80 far below its clock. Both
# files go once the monitor runs.
start=$(mktemp -d --tmpdir qk14mon-simh.XXXXXX)
cp "$image" "$start/image.bin"
image=$start/image.bin
script=$start/start.simh
cat >"$script" <<EOF
set cpu z80
set cpu noaltairrom
set cpu quiet
set sio nomap
set sio nosleep
set sio quiet
set ss1 enabled
d clock $clock
load $image 0
go 0
EOF

# True once the monitor answers a one-byte read on the link; what simh wrote
# there before (its start-up text) is read and dropped on the way.
answers() {
  exec 3<>"$link" 2>/dev/null || return 1
  printf 'FF00\020' >&3
  local seen
  seen=$(timeout 0.3 cat <&3 | tr '\r' '\n' || true)
  exec 3>&-
  grep -q -E '^[0-9A-F]{2}$' <<<"$seen"
}

# Reports ready (in the background) once the monitor answers. $$ is this
# script, socat by then: once it has gone, so has the line.
probe() {
  for _ in $(seq 100); do
    kill -0 $$ 2>/dev/null || break
    if [ -e "$link" ] && answers; then
      rm -rf "$start"
      echo "ready $link"
      return
    fi
    sleep 0.1
  done
  rm -rf "$start"
  echo "$0: the monitor did not answer on $link" >&2
}
probe &

exec socat "PTY,link=$link,raw,echo=0" "EXEC:altairz80 $script,pty,raw,echo=0,setsid,ctty"
