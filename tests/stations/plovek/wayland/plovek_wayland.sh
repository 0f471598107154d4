#!/usr/bin/env bash
# The wedge on a real Wayland desktop: a headless GNOME compositor (mutter) with
# Xwayland, a session bus of the test's own with the desktop portal and its GNOME back
# end, the reader emulator on COM1, and Plovek typing into foot (a native Wayland
# terminal) and xterm (an Xwayland one). The portal's consent dialog is drawn on
# Xwayland and answered with xdotool.
#
#   plovek_wayland.sh <folder with Plovek and zorv900-emulator>
#
# Run as root (the CI) it goes on as the unprivileged user nobody, with a home and runtime
# folder of its own in the test's folder: the compositor and the portal refuse to serve
# root's session as a desktop would, and the machine's users are left as they are.
# Exits 77 (skipped) when a component is missing.
set -uo pipefail

user=nobody
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
log() { echo "[$(date +%T.%3N)] $*"; }

# Waits up to $1 seconds for the command after it (run anew each time) to succeed.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.05
  done
}

outer() {
  local bindir="$1"
  for tool in mutter Xwayland foot xterm xdotool dbus-run-session dbus-update-activation-environment gdbus; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (see scripts/packages.txt)"
  done
  for tool in /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome; do
    [ -x "$tool" ] || skip "$tool is not installed (see scripts/packages.txt)"
  done
  [ -x "$bindir/Plovek" ] && [ -x "$bindir/zorv900-emulator" ] || fail "no Plovek or zorv900-emulator in $bindir"

  local work
  work="$(mktemp -d /tmp/zorv-wayland.XXXXXX)"
  mkdir -p "$work/bin"
  # The test's user need not reach the checkout (a clone in /root, say): it runs copies.
  cp "$bindir/Plovek" "$bindir/zorv900-emulator" "$work/bin/"
  cp "$here" "$work/bin/plovek_wayland.sh"
  if [ "$(id -u)" -eq 0 ]; then
    id "$user" >/dev/null 2>&1 || skip "there is no user $user to run the desktop as"
    # Xwayland makes its socket there, as any user may.
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
    chown -R "$user:" "$work"
    as_user=(runuser -u "$user" --)
  else
    as_user=()
  fi
  # A session of its own: whatever the desktop starts is found by it afterwards.
  setsid bash -c 'echo $$ >"$1/sid"; shift; exec "$@"' - "$work" \
    "${as_user[@]}" env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "$work/bin/plovek_wayland.sh" --desktop "$work"
  local rc=1
  [ -f "$work/rc" ] && rc=$(cat "$work/rc")
  cat "$work/test.log" 2>/dev/null
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ]; then
    for f in desktop plovek emulator; do
      echo "--- $f.log"; tail -30 "$work/$f.log" 2>/dev/null
    done
  fi
  # The bus's services end with the bus; what is still there after a while is ended
  # here.
  sid=$(cat "$work/sid")
  wait_for 10 no_process_in "$sid"
  local left
  left="$(processes_in "$sid" | tr '\n' ' ')"
  if [ -n "${left// /}" ]; then
    echo "ended after the test: $(ps -o pid=,comm= -p "$(echo $left | tr ' ' ,)" | tr -s '\n ' ' ')"
    kill $left 2>/dev/null
  fi
  if [ "$rc" -eq 0 ] || [ "$rc" -eq 77 ]; then
    rm -rf "$work"
  else
    echo "kept for a look: $work"
  fi
  exit $rc
}

# A private runtime folder and session bus, and the compositor running the test.
desktop() {
  local work="$1"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/zorv900" && mkdir -m 700 "$XDG_RUNTIME_DIR"
  exec dbus-run-session -- mutter --headless --wayland --virtual-monitor 1024x768 \
    --wayland-display "zorv-wayland-$$" -- "$here" --session "$work" >"$work/desktop.log" 2>&1
}

# The test itself, with DISPLAY and WAYLAND_DISPLAY of the compositor.
session() {
  local work="$1"
  exec 2>&1 >"$work/test.log"
  "$here" --run "$work"
  local rc=$?
  echo "$rc" >"$work/rc"
  exit $rc
}

pids=()
cleanup() {
  exec 3>&- 2>/dev/null
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
}

# The process that owns a bus name.
owner_pid() {
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.GetConnectionUnixProcessID "$1" 2>/dev/null | sed -n 's/.*uint32 \([0-9]*\).*/\1/p'
}

# The portal's consent dialog (drawn on Xwayland by GTK, its shadow included in the
# window), and where its controls are, in per mille of the window's width and height.
DIALOG_TITLE="Remote desktop"
DIALOG_SWITCH_X=788 DIALOG_SWITCH_Y=303 # "Allow remote interaction"
DIALOG_SHARE_X=828 DIALOG_SHARE_Y=182   # "Share"
DIALOG_CANCEL_X=174 DIALOG_CANCEL_Y=182 # "Cancel"
dialog_window() { xdotool search --onlyvisible --name "$DIALOG_TITLE" 2>/dev/null | head -1; }
dialog_up() { [ -n "$(dialog_window)" ]; }
dialog_gone() { [ -z "$(dialog_window)" ]; }
# More than $2 lines in file $1.
more_lines() { [ "$(wc -l <"$1")" -gt "$2" ]; }
processes_in() { ps -eo pid=,sid= | awk -v s="$1" '$2 == s { print $1 }'; }
no_process_in() { [ -z "$(processes_in "$1")" ]; }
station_window() { xdotool search --onlyvisible --name "^Zandorex RF Wedge\$" 2>/dev/null | head -1; }
station_shown() { [ -n "$(xdotool search --onlyvisible --name "^Zandorex RF Wedge\$" 2>/dev/null)" ]; }
station_hidden() { ! station_shown; }
# The station's icon in the notification area: its small window inside the tray host's.
station_icon() {
  local w
  for w in $(xdotool search --onlyvisible --classname "^Plovek\$" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    ((WIDTH <= 48 && HEIGHT <= 48)) && { echo "$w"; return; }
  done
}
icon_shown() { [ -n "$(station_icon)" ]; }
# An xterm whose typed lines go to $work/$1.txt. A new window takes the focus (the
# compositor gives none to a window that an X client asks for).
start_xterm() {
  local name=$1 count
  count=$(xdotool search --onlyvisible --class xterm 2>/dev/null | wc -l)
  : >"$work/$name.txt"
  xterm -e sh -c "exec cat >'$work/$name.txt'" >>"$work/xterm.log" 2>&1 &
  pids+=("$!")
  wait_for 10 more_windows_of_class xterm "$count" || fail "no xterm"
  sleep 1
}
more_windows_of_class() { [ "$(xdotool search --onlyvisible --class "$1" 2>/dev/null | wc -l)" -gt "$2" ]; }

# Answers the consent dialog: "allow" turns on remote interaction and shares,
# "refuse" cancels.
answer_dialog() {
  local how=$1 win
  wait_for 60 dialog_up || fail "no consent dialog"
  win="$(dialog_window)"
  xdotool windowactivate --sync "$win" >/dev/null 2>&1
  sleep 0.5
  local x y w h
  eval "$(xdotool getwindowgeometry --shell "$win")"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
  if [ "$how" = allow ]; then
    click_in "$win" "$DIALOG_SWITCH_X" "$DIALOG_SWITCH_Y" "$w" "$h"
    sleep 0.3
    click_in "$win" "$DIALOG_SHARE_X" "$DIALOG_SHARE_Y" "$w" "$h"
  else
    click_in "$win" "$DIALOG_CANCEL_X" "$DIALOG_CANCEL_Y" "$w" "$h"
  fi
  wait_for 10 dialog_gone || fail "the consent dialog stayed"
}

# Clicks at a point given in per mille of the window's size.
click_in() {
  local win=$1 px=$2 py=$3 w=$4 h=$5
  xdotool mousemove --window "$win" $((w * px / 1000)) $((h * py / 1000)) click 1
}

# Presents a code on the reader and waits until the line has arrived in `file`
# (count lines before). Prints the time from the CR to the line's end, in ms.
present() {
  local code=$1 file=$2 before=$3 t0
  echo "$code" >&3
  read -r -t 5 reply <&4 || fail "the reader emulator did not answer"
  t0=$(date +%s%3N)
  if wait_for 10 more_lines "$file" "$before"; then
    echo $(($(date +%s%3N) - t0))
  else
    echo -1
  fi
}

# Codes presented one after another into a terminal whose output goes to `file`.
type_codes() {
  local name=$1 file=$2 count=$3 i code ms got=0 worst=0 total=0
  for ((i = 1; i <= count; i++)); do
    code=$(printf '%s%08X' "${name:0:4}" $((RANDOM * 65536 + RANDOM + i)))
    ms=$(present "$code" "$file" "$(wc -l <"$file")")
    if [ "$ms" -ge 0 ] && [ "$(tail -1 "$file")" = "$(printf '\t')$code" ]; then
      got=$((got + 1))
      total=$((total + ms))
      ((ms > worst)) && worst=$ms
    else
      log "$name: code $code arrived as '$(tail -1 "$file" | od -c | head -2 | tr -s ' ')'"
      break
    fi
  done
  log "$name: sent $count codes, $got arrived exactly; CR to line end: mean $((total / (got ? got : 1))) ms, worst $worst ms"
  [ "$got" -eq "$count" ] || fail "$name: $got of $count codes arrived"
}

run() {
  local work="$1"
  trap cleanup EXIT
  export GDK_BACKEND=x11 XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland
  dbus-update-activation-environment DISPLAY XAUTHORITY WAYLAND_DISPLAY GDK_BACKEND XDG_CURRENT_DESKTOP \
    XDG_RUNTIME_DIR XDG_SESSION_TYPE || fail "cannot set the bus's activation environment"
  log "DISPLAY=$DISPLAY WAYLAND_DISPLAY=$WAYLAND_DISPLAY"
  version=$(gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
    -m org.freedesktop.DBus.Properties.Get org.freedesktop.portal.RemoteDesktop version 2>&1)
  log "RemoteDesktop portal version: $version"
  case "$version" in *uint32*) ;; *) skip "the desktop portal offers no RemoteDesktop" ;; esac
  # Newer GNOME back ends (Debian 13's) draw their dialogs on Wayland only, where xdotool
  # cannot answer them; made to use X11 they offer no remote desktop at all.
  gdbus introspect --session -d org.freedesktop.impl.portal.desktop.gnome -o /org/freedesktop/portal/desktop 2>/dev/null |
    grep -q "interface org.freedesktop.impl.portal.RemoteDesktop" ||
    skip "this xdg-desktop-portal-gnome shows its consent dialog only as a Wayland window, which the test cannot answer"

  # Beep off, COM1, no delay; prefix {TAB} once, terminator 1 {ENTER} once.
  printf '0\r\n1,0\r\n11,1\r\n5,1\r\n0,0\r\n' >"$XDG_CONFIG_HOME/zorv900/plovek.ini"
  mkdir -p "$work/station"
  coproc EMU { exec "$work/bin/zorv900-emulator" --com 1 2>"$work/emulator.log"; }
  pids+=("$EMU_PID")
  exec 3>&"${EMU[1]}" 4<&"${EMU[0]}"
  read -r -t 10 pty <&4 || fail "the reader emulator did not start"
  log "reader: $pty"

  # An X11 notification area on Xwayland, as the station finds on X11 desktops.
  trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    >"$work/trayer.log" 2>&1 &
  pids+=("$!")
  sleep 1
  (cd "$work/station" && exec "$work/bin/Plovek" >"$work/plovek.log" 2>&1) &
  plovek=$!
  pids+=("$plovek")
  local started=$SECONDS

  # 30 s after its start the station minimises itself and asks for the session.
  answer_dialog allow
  log "consent given $((SECONDS - started)) s after the start"

  : >"$work/foot.txt"
  foot -e sh -c "exec cat >'$work/foot.txt'" >"$work/foot.log" 2>&1 &
  pids+=("$!")
  sleep 2
  type_codes foot "$work/foot.txt" 20

  # A character the keyboard layout (US) has no key for arrives all the same: the
  # compositor lends it a key.
  local before euro
  before=$(wc -l <"$work/foot.txt")
  present 'EU\x80RO001' "$work/foot.txt" "$before" >/dev/null
  euro=$(tail -1 "$work/foot.txt")
  [ "$euro" = "$(printf '\t')EU€RO001" ] || fail "a line with a character the layout lacks arrived as '$euro'"
  log "a character the layout lacks (€): typed"

  start_xterm xterm
  type_codes xterm "$work/xterm.txt" 20

  # In the notification area since its self-minimise; a click on the icon brings the
  # window back, and a line read while it is on screen is not typed; minimised again,
  # it hides there again and types.
  station_hidden || fail "the station is not hidden in the notification area"
  wait_for 5 icon_shown || fail "no icon in the notification area"
  xdotool mousemove --window "$(station_icon)" 8 8 click 1
  wait_for 10 station_shown || fail "a click on the icon did not bring the window back"
  start_xterm shown
  echo "SHOWN0000001" >&3
  read -r -t 5 reply <&4
  sleep 1.5
  [ "$(wc -l <"$work/shown.txt")" -eq 0 ] || fail "a line was typed while the station was on screen"
  xdotool windowminimize "$(station_window)"
  wait_for 10 station_hidden || fail "minimised, the station did not hide"
  wait_for 5 icon_shown || fail "minimised, the station has no icon"
  start_xterm again
  type_codes xterm "$work/again.txt" 2
  log "restored from the icon: not typed; minimised again: typed"

  # The portal goes away mid-session: the next line brings a new dialog (the bus
  # starts the portal again); refused, that line is not typed; the one after it asks
  # again and is typed.
  for name in org.freedesktop.portal.Desktop org.freedesktop.impl.portal.desktop.gnome; do
    p=$(owner_pid "$name")
    [ -n "$p" ] && kill "$p"
  done
  sleep 1
  before=$(wc -l <"$work/again.txt")
  echo "GONE00000001" >&3
  read -r -t 5 reply <&4
  answer_dialog refuse
  sleep 1
  [ "$(wc -l <"$work/again.txt")" -eq "$before" ] || fail "a refused line was typed"
  log "refused line: not typed"
  echo "BACK00000001" >&3
  read -r -t 5 reply <&4
  answer_dialog allow
  wait_for 10 more_lines "$work/again.txt" "$before" || fail "the line after the refusal was not typed"
  [ "$(tail -1 "$work/again.txt")" = "$(printf '\t')BACK00000001" ] || fail "after the refusal: '$(tail -1 "$work/again.txt")'"
  log "after the portal went away and a refusal: typed again"
  kill -0 "$plovek" || fail "Plovek has ended"

  # A portal of version 2 or later keeps the consent: the station started again types
  # without a dialog, and the token it was given is replaced by a new one.
  local number=${version//[^0-9 ]/}
  number=${number##* }
  if ((number >= 2)); then
    local token="$XDG_CONFIG_HOME/zorv900/plovek-typing.token" first
    [ -s "$token" ] || fail "no restore token stored"
    first=$(cat "$token")
    kill "$plovek"
    wait "$plovek" 2>/dev/null
    (cd "$work/station" && exec "$work/bin/Plovek" >>"$work/plovek.log" 2>&1) &
    plovek=$!
    pids+=("$plovek")
    if ! wait_for 45 token_changed "$token" "$first"; then
      dialog_up && fail "started again, the station was asked again"
      fail "started again, the station got no new token"
    fi
    dialog_gone || fail "started again, the station was asked again"
    start_xterm restored
    type_codes restored "$work/restored.txt" 3
    log "started again: no dialog, typed; the token was replaced"
  else
    log "portal version $number: the consent is asked at every start (no restore token)"
  fi
  log "done"
}
token_changed() { [ -s "$1" ] && [ "$(cat "$1")" != "$2" ]; }

case "${1:-}" in
  --desktop) desktop "$2" ;;
  --session) session "$2" ;;
  --run) run "$2" ;;
  *) outer "${1:?folder with Plovek and zorv900-emulator}" ;;
esac
