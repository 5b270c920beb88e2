#!/usr/bin/env bash
# Builds the .deb, checks its Depends and Recommends, runs lintian on it (no
# error, no warning), unpacks it into a scratch root (no installation needed)
# and runs the installed programs from there:
# qk14 --version; the window front end module (loaded by --ui sdl, not linked);
# qk14 --ui headless for 3 s against the installed simulator;
# the firmware's sources, images and simulator scripts are in it;
# and a missing QK.DEF, whose report must carry the text of the installed
# message library (the same run without the library lacks it).
# Usage: debian_package_test.sh CPACK CPACK_CONFIG
set -euo pipefail
cpack=$1
config=$2

scratch=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$config" -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb=$(echo "$scratch"/package/*.deb)
[ -f "$deb" ] || fail "no .deb in $scratch/package"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libsdl2-2.0-0 libncursesw6 libpng16-16 libgensio4 unifont; do
  grep -qw -- "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done

recommends=$(dpkg-deb -f "$deb" Recommends)
for package in locales libc-l10n; do
  grep -qw -- "$package" <<<"$recommends" || fail "Recommends lacks $package: $recommends"
done
grep -qw -- bash-completion <<<"$recommends" || fail "Recommends lacks bash-completion: $recommends"

# Debian's checks: every error and warning fails; the tags are printed.
command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-packages.sh installs it)"
lintian --no-cfg --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 ||
  { cat "$scratch/lintian.log" >&2; fail "lintian found errors or warnings"; }

root=$scratch/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr
for file in bin/qk14 bin/qkp877w bin/qk-target-sim lib/qkmonitors/Q7R2ER50.DLL lib/qkmonitors/qk-sdl-front-end.so \
            share/qkmonitors/demo/qk14/QK.DEF share/qkmonitors/demo/qkp877w/QK.DEF \
            share/man/man1/qk14.1.gz share/man/man1/qkp877w.1.gz share/man/man1/qk-target-sim.1.gz \
            share/bash-completion/completions/qk14 share/doc/qkmonitors/copyright \
            share/doc/qkmonitors/changelog.gz \
            share/qkmonitors/firmware/README.md share/qkmonitors/firmware/z80/qk14mon.asm \
            share/qkmonitors/firmware/z80/qk14mon.bin share/qkmonitors/firmware/z80/run-in-simh.sh \
            share/qkmonitors/firmware/z80/demo/QK.DEF share/qkmonitors/firmware/pic16f877/qkmon877.asm \
            share/qkmonitors/firmware/pic16f877/qkmon877.hex; do
  [ -e "$usr/$file" ] || fail "the package lacks /usr/$file"
done

version=$("$usr/bin/qk14" --version)
[[ $version =~ ^qk14\ [0-9]+\.[0-9]+\.[0-9]+ ]] || fail "qk14 --version printed '$version'"

# No settings file: the programs must find their library from the prefix.
export QK_SETTINGS_FILE=$scratch/no-settings.ini
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

work=$scratch/work
mkdir "$work"
cp "$usr"/share/qkmonitors/demo/qk14/* "$work"/
printf 'AD=8000\r\n' >"$work/QK.DEF"
"$usr/bin/qk-target-sim" --link "$work/board.tty" --unpaced --fill 8000=2AA53412DEADBEEF \
    >"$scratch/sim.out" 2>"$scratch/sim.err" &
sim_pid=$!
# The simulator prints its terminal's path once it answers.
until [ -s "$scratch/sim.out" ]; do
  kill -0 "$sim_pid" 2>/dev/null || { cat "$scratch/sim.err" >&2; fail "qk-target-sim ended"; }
  sleep 0.05
done

# Runs the installed qk14 headless in the work folder with the script on
# standard input; the screen is written to $1.
run_qk14() {
  local screen=$1 wait_ms=$2
  (cd "$work" && printf 'wait %s\nscreen %s\nclose\n' "$wait_ms" "$screen" |
     "$usr/bin/qk14" --ui headless --script - --port "$work/board.tty" 2>"$screen.err") || true
  [ -f "$screen" ] || { cat "$screen.err" >&2; fail "qk14 wrote no screen"; }
}

# The window front end is the installed module: the programs do not link SDL
# themselves, and --ui sdl loads the module (which then finds no display).
for program in qk14 qkp877w; do
  ! readelf -d "$usr/bin/$program" | grep -q 'NEEDED.*libSDL2' || fail "$program links SDL2 itself"
done
sdl_error=$(cd "$work" && DISPLAY=:65535 timeout 20 "$usr/bin/qk14" --ui sdl --port "$work/board.tty" 2>&1 >/dev/null) || true
[[ $sdl_error == *"SDL cannot open the display"* ]] || fail "qk14 --ui sdl did not load the installed module: $sdl_error"

run_qk14 "$scratch/dump.txt" 3000
grep -q '2A A5 34 12 DE AD BE EF' "$scratch/dump.txt" ||
  { cat "$scratch/dump.txt" >&2; fail "the dump page does not show the simulated board's bytes"; }

# Error 63: QK.DEF is missing. The text after the number comes from the library.
rm "$work/QK.DEF"
run_qk14 "$scratch/report.txt" 1000
report=$(head -n 4 "$scratch/report.txt" | tr '\n' ' ')
[[ $report == *"[63]"* ]] || fail "no error 63 report: $report"
mv "$usr/lib/qkmonitors" "$scratch/library-aside"
run_qk14 "$scratch/report-without-library.txt" 1000
bare=$(head -n 4 "$scratch/report-without-library.txt" | tr '\n' ' ')
[[ $bare == *"[63]"* ]] || fail "no error 63 report without the library: $bare"
text=${report#*\[63\]}
bare_text=${bare#*\[63\]}
[ -n "${text// /}" ] && [ "$text" != "$bare_text" ] ||
  fail "the report's text does not come from the installed library: '$report' (without it: '$bare')"
echo "package $(basename "$deb"): $version; report: ${report// /}"
