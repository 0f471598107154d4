#!/bin/bash
# controllo idle with its port open: processor time over 10 s, as a share of one core.
# Usage: bench/stations/idle_cpu.sh [build folder]   (needs the emulator and controllo built)
set -eu
build=${1:-build}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d)
trap 'kill $emu $station 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ZORV900_SOUND_LOG=$work/sounds.log
printf '1,9600\r\n5,30,"A"\r\n' > "$work/porta.cfg"
: > "$work/CLIENTI.DAT"
"$bin/zorv900-emulator" --com 1 --no-stdin > "$work/emulator.out" &
emu=$!
for _ in $(seq 50); do grep -q READY "$work/emulator.out" 2>/dev/null && break; sleep 0.1; done
(cd "$work" && exec "$bin/controllo" 2>/dev/null) &
station=$!
sleep 2
pty=$(sed -n 's/^PTY //p' "$work/emulator.out")
if ! ls -l /proc/$station/fd 2>/dev/null | grep -q -- "-> $pty\$"; then
  echo "controllo has not opened the reader's port ($pty)" >&2
  exit 1
fi
ticks() { awk '{print $14 + $15}' /proc/$station/stat; }
hz=$(getconf CLK_TCK)
t0=$(ticks); sleep 10; t1=$(ticks)
awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN { printf "controllo idle: %.2f%% of one core over 10 s\n", d * 100 / hz / 10 }'
