#!/usr/bin/env bash
# Installs the build given as $1 under a temporary DESTDIR with the prefix /usr/local and
# checks what came of it. Runs on an X server (xvfb-run).
set -euo pipefail
build="$1"
fail() { echo "FAILED: $*" >&2; exit 1; }
for tool in cmake xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

tmp="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT
root="$tmp/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr/local >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }

# Exactly the programs, their menu entries and the icon.
programs="Plovek Zorv900V3 controllo database movimenti"
expected="$( {
  for p in $programs zorv900-emulator; do echo "usr/local/bin/$p"; done
  for p in $programs; do echo "usr/local/share/applications/zorv900-$p.desktop"; done
  echo usr/local/share/icons/hicolor/scalable/apps/zorv900.svg
} | sort)"
installed="$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)"
[ "$installed" = "$expected" ] || { diff <(echo "$expected") <(echo "$installed") || true; fail "installed files"; }
bin="$root/usr/local/bin"
for p in $programs zorv900-emulator; do
  [ -x "$bin/$p" ] || fail "$p is not executable"
  ! ldd "$bin/$p" | grep -q "not found" || fail "$p misses libraries"
done

# Each entry starts its program where it is installed, under the caption of its window.
caption() {
  case "$1" in
    database) echo "DATA BASE CLI  V. 2.0" ;;
    Zorv900V3) echo "Zorv 900 Demo" ;;
    controllo) echo "Zorv900 Controllo Accessi" ;;
    Plovek) echo "Zandorex RF Wedge" ;;
    movimenti) echo "Movimenti" ;;
  esac
}
for p in $programs; do
  entry="$root/usr/local/share/applications/zorv900-$p.desktop"
  grep -qxF "Name=$(caption "$p")" "$entry" || fail "$entry: Name"
  grep -qxF "Exec=/usr/local/bin/$p" "$entry" || fail "$entry: Exec"
  grep -qxF "Icon=zorv900" "$entry" || fail "$entry: Icon"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root"/usr/local/share/applications/*.desktop || fail "desktop-file-validate"
else
  echo "desktop-file-validate is not installed (package desktop-file-utils): the entries are not validated"
fi

# movimenti's "Data Base Utenti" starts the installed database: from the installed folder,
# with neither the build nor the installed folder on PATH nor in the data folder.
data="$tmp/data"
mkdir -p "$data"
printf '"0001","ROSSI MARIO","123456789012","1","01/01/2026","10:00:00","Autorizzato"\r\n' >"$data/mov.txt"
unset ZORV900_BIN_DIR
cd "$data"
PATH=/usr/bin:/bin ZORV900_PRINT_TO="$tmp/printed.txt" "$bin/movimenti" &
pids+=($!)
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
timeout 20 xdotool search --sync --onlyvisible --name '^Movimenti$' >/dev/null || fail "movimenti shows no window"
movimenti="$(window '^Movimenti$')"
eval "$(xdotool getwindowgeometry --shell "$movimenti")"
# The processes running the installed database.
databases() {
  { find /proc -mindepth 2 -maxdepth 2 -name exe -lname "$bin/database" 2>/dev/null || true; } | cut -d/ -f3
}
started=""
# Down the column of buttons on the right, top to bottom, until one starts the registry.
for ((y = 10; y < HEIGHT - 10; y += 8)); do
  xdotool mousemove --window "$movimenti" $((WIDTH - 25)) "$y" click 1
  for _ in 1 2 3; do
    started="$(databases)"
    [ -n "$started" ] && break 2
    sleep 0.1
  done
done
[ -n "$started" ] || fail "movimenti started no database"
mapfile -t found <<<"$started"
pids+=("${found[@]}")
[ "${#found[@]}" = 1 ] || fail "more than one database started"
[ "$(readlink "/proc/$started/cwd")" = "$data" ] || fail "database started in $(readlink "/proc/$started/cwd")"
timeout 20 xdotool search --sync --onlyvisible --name '^ DATA BASE CLI  V\. 2\.0$' >/dev/null \
  || fail "the database started shows no window"
echo "installed suite: files, entries and program starts as expected"
