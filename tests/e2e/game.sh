#!/usr/bin/env bash
# Plays one scenario against the real game on $DISPLAY, as a player would:
# the settings dialog, the window, keys, and the exit status.
#   game.sh SCENARIO TESSALINE WINDOWSHOT CONFIGDIR
# The game runs in a fresh folder with the shipped configuration files, so
# settings saved by earlier runs never change what is tested. It reads its
# files beside its executable, so a copy of the executable goes there too.
set -u
scenario=$1 game=$2 shot=$3 config=$4
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }

run=$(mktemp -d /tmp/tessaline-e2e.XXXXXX)
src=$(dirname "$game")
cp "$config"/plugins.cfg "$config"/resources.cfg "$config"/ogre.cfg "$game" "$run"/
ln -s "$src"/media "$run"/media
ln -s "$src"/fonts "$run"/fonts
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- game output"; cat "$run/out.txt" 2>/dev/null | grep -v '^ALSA lib\|^AL lib' | tail -20
  exit 1
}

# Waits up to $2 seconds for a window named exactly $1; prints its id.
wait_window() {
  local id=""
  for _ in $(seq 1 $(( $2 * 10 ))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds for the game to end; sets status.
wait_exit() {
  for _ in $(seq 1 $(( $1 * 10 ))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"; status=$?; pid=""; return 0
    fi
    sleep 0.1
  done
  return 1
}

# Clicks the dialog's button at (dx, dy) from its top-left corner.
click_dialog() {
  local id X Y
  id=$(wait_window "Rendering Settings" 30) || fail "no settings dialog"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  sleep 0.5
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}

(cd "$run" && exec ./tessaline) >"$run/out.txt" 2>&1 &
pid=$!

# Accepts the dialog and waits until the menu is drawn: the window then
# shows more than its clear colour. Sets wid.
reach_menu() {
  click_dialog 446 353
  wid=$(wait_window "Tessaline" 30) || fail "no game window"
  local ok=""
  for _ in $(seq 1 100); do
    read -r colours share < <("$shot" Tessaline "$run/menu.ppm" 2>/dev/null) || true
    if [ -n "${share:-}" ] && awk "BEGIN{exit !($colours >= 8 && $share > 0.002)}"; then ok=1; break; fi
    sleep 0.2
  done
  [ -n "$ok" ] || fail "menu never drawn (colours=${colours:-?} share=${share:-?})"
  echo "menu drawn: $colours colours, $share of pixels off the background"
}

case "$scenario" in
accept_menu_escape)
  reach_menu
  xdotool key --window "$wid" Escape 2>/dev/null
  wait_exit 30 || { gdb -p "$pid" -batch -ex "thread 1" -ex "bt 30" 2>/dev/null | grep -E "^#" | head -30; fail "game still running after Escape"; }
  [ "$status" -eq 0 ] || fail "exit status $status"
  ;;
choose_exit)
  reach_menu
  # Down past the last item stays on "Exit"; Return chooses it.
  for key in Down Down Down Down; do
    xdotool key --window "$wid" "$key" 2>/dev/null
    sleep 0.1
  done
  xdotool key --window "$wid" Return 2>/dev/null
  wait_exit 30 || fail "game still running after choosing Exit"
  [ "$status" -eq 0 ] || fail "exit status $status"
  ;;
cancel_dialog)
  click_dialog 376 353
  wait_exit 30 || fail "game still running after Cancel"
  [ "$status" -eq 0 ] || fail "exit status $status"
  xdotool search --name "^Tessaline\$" >/dev/null 2>&1 && fail "a game window opened"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
