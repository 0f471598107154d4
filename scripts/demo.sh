#!/usr/bin/env bash
# Installs what is missing, builds, fills demo/ with demo data (files already there are
# kept) and starts database in it, with the access-control station controllo on the reader
# emulator: card codes typed in the terminal are presented to the reader.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
# The cards are typed into the reader emulator in this terminal: without one there is no
# demo, and nothing is started.
if [ ! -t 0 ]; then
  echo "demo.sh needs a terminal: the card codes are typed into it (run it from a terminal, or ssh -t)." >&2
  exit 1
fi
. "$here/locale.sh"
"$here/setup.sh"
build="${ZORV900_BUILD_DIR:-$root/build}"
demo="$root/demo"
"$build/bin/zorv900-demodata" "$demo"
# The access-control station's settings: COM1 at 9600 baud, 5 s lock-out, relay 3 s
# (30 tenths), sounds on.
[ -e "$demo/porta.cfg" ] || printf '1,9600\r\n5,30,"A"\r\n' > "$demo/porta.cfg"
# The demo's COM link to the reader emulator lives in a configuration folder of its own,
# so a real reader's link is never touched.
export XDG_CONFIG_HOME="$demo/config"
mkdir -p "$XDG_CONFIG_HOME/zorv900"
rm -f "$XDG_CONFIG_HOME/zorv900/com1"
cd "$demo"
"$build/bin/database" &
# controllo opens COM1 200 ms after it starts: start it once the emulator is there.
(
  for _ in $(seq 100); do [ -e "$XDG_CONFIG_HOME/zorv900/com1" ] && break; sleep 0.1; done
  exec "$build/bin/controllo"
) &
station=$!
trap 'kill "$station" 2>/dev/null || true' EXIT
cat <<'EOT'

The access-control station "controllo" runs on the demo folder, with the reader emulator
on COM1 in this terminal. To present a card, type its 12-character code here and press
Enter (the station shows the customer, writes mov.txt and switches the door relay):
  0001A2B3C4D5  Rossi Mario, 25 accesses, door 1
  0001A2B3C4D6  Bianchi Anna, pass valid for a year, door 2
  0001A2B3C4D7  Verdi Giuseppe, pass expired in 2015
  0001A2B3C4D8  Esposito Lucia, no accesses left
  999999999999  a card that is not in the registry
The same granted card again within 5 seconds only sounds the reader's buzzer.
"Movimenti" in the station shows the movement log. Ctrl-D ends the reader and the station.

EOT
"$build/bin/zorv900-emulator" --com 1 --config-home "$XDG_CONFIG_HOME"
