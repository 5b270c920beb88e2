#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# With --demo: only what building and running the programs needs.
set -euo pipefail
packages=(build-essential cmake pkg-config libsdl2-dev libncurses-dev libpng-dev libgensio-dev unifont)
# The Z80 monitor firmware: its assembler, and the simulated Z80 it runs on in the demo and tests.
packages+=(z80asm simh socat)
# The PIC16F877 monitor firmware: its assembler, and the simulated PIC it runs on.
packages+=(gputils gpsim)
# The C library's Japanese texts and the ja_JP.UTF-8 locale the Japanese reports are tested in.
packages+=(locales libc-l10n)
if [ "${1:-}" != "--demo" ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-apps tmux clang clang-tidy libclang-rt-14-dev
             dpkg-dev file ser2net lintian xdotool)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
fi
# The Japanese locale: Japanese system reasons in reports (and their tests).
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
