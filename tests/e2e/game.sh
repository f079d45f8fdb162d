#!/usr/bin/env bash
# Plays one scenario against the real game on $DISPLAY, as a player would:
# the settings dialog, the window, keys, and the exit status.
#   game.sh SCENARIO TESSALINE WINDOWSHOT CONFIGDIR [PPMREGION]
# The game runs in a fresh folder with the shipped configuration files, so
# settings saved by earlier runs never change what is tested. It reads its
# files beside its executable, so a copy of the executable goes there too.
set -u
scenario=$1 game=$2 shot=$3 config=$4 region=${5:-}
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }

. "$(dirname "$0")/lib.sh"
run=$(mktemp -d /tmp/tessaline-e2e.XXXXXX)
lay_out_game "$run" "$game" "$config"
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- game output"; tail -20 "$run/out.txt" 2>/dev/null
  exit 1
}

(cd "$run" && exec ./tessaline) >"$run/out.txt" 2>&1 &
pid=$!

# Accepts the dialog and waits until the menu is drawn: the window then
# shows more than its clear colour. Sets wid.
reach_menu() {
  click_dialog $DIALOG_ACCEPT
  wid=$(wait_window "Tessaline" 30) || fail "no game window"
  poll_until 30 window_drawn Tessaline "$run/menu.ppm" || fail "menu never drawn"
}

# Sends keys as a keyboard does: the pointer rests over the window, which
# then has the focus.
keys() {
  for key in "$@"; do
    xdotool key "$key" 2>/dev/null
    sleep 0.15
  done
}

# Takes a picture of the window into $run/$1.ppm.
picture() {
  "$shot" Tessaline "$run/$1.ppm" >/dev/null 2>&1 || fail "no picture of the window for $1"
}

# Field $2 (1 bright text share, 2 changed share, 6 lit share) of a rectangle
# "X Y W H" of picture $1, against picture $4 if given.
measure() {
  local other=""
  [ -n "${4:-}" ] && other="$run/$4.ppm"
  "$region" "$run/$1.ppm" $3 $other | awk -v f="$2" '{print $f}'
}

# expect PICTURE FIELD "X Y W H" OP VALUE WHAT [OTHER]
expect() {
  local v
  v=$(measure "$1" "$2" "$3" "${7:-}") || fail "cannot measure $1"
  awk "BEGIN{exit !($v $4 $5)}" || fail "$6: $v (wanted $4 $5) in $1 at $3"
}

# The texts of the 800 x 600 menu (the shipped settings) and the help and
# credits screens stand where their tables put them: text-bright pixels in
# each text's box, none in boxes that hold no text. The scenery figure
# lights its region.
check_menu() {
  local p=$1
  expect "$p" 1 "310 150 110 28" ">" 0.05 "title text"
  expect "$p" 1 "355 250 60 28" ">" 0.05 "Play text"
  expect "$p" 1 "355 300 60 28" ">" 0.05 "Help text"
  expect "$p" 1 "355 350 90 28" ">" 0.05 "Credits text"
  expect "$p" 1 "355 400 60 28" ">" 0.05 "Exit text"
  expect "$p" 1 "620 480 160 100" "<" 0.01 "no text in the bottom right corner"
  expect "$p" 6 "0 420 250 180" ">" 0.3 "scenery figure"
}
check_help() {
  local p=$1
  expect "$p" 1 "380 20 60 28" ">" 0.05 "Help title"
  expect "$p" 1 "20 100 120 28" ">" 0.05 "Controls heading"
  expect "$p" 1 "20 280 500 28" ">" 0.05 "counter-clockwise line"
  expect "$p" 1 "20 440 300 28" ">" 0.05 "closing line"
  expect "$p" 1 "20 400 300 28" "<" 0.01 "no text between the last lines"
  expect "$p" 6 "560 420 200 150" ">" 0.2 "scenery figure"
}
check_credits() {
  local p=$1
  expect "$p" 1 "340 20 100 28" ">" 0.05 "Tessaline title"
  expect "$p" 1 "360 80 60 28" ">" 0.05 "Team heading"
  expect "$p" 1 "330 300 90 28" ">" 0.05 "Support heading"
  expect "$p" 1 "145 380 250 28" ">" 0.05 "last supporters line"
  expect "$p" 1 "500 420 250 28" "<" 0.01 "no text right of the last line"
  expect "$p" 6 "560 420 200 150" ">" 0.2 "scenery figure"
}

# The tentacles stand in the middle of the menu and move on their own; the
# rest of the menu stands still until a colour change.
tentacles_moved() {
  expect "$1" 2 "300 200 200 200" ">" 0.002 "tentacles moving" menu
}
check_tentacles() { wait_shows menu_later tentacles_moved; }
# After O, against the menu before it.
check_menu_o() {
  expect "$1" 2 "355 250 60 28" ">" 0.05 "Play text colour after O" menu_again
  expect "$1" 2 "310 150 110 28" ">" 0.05 "title colour after O" menu_again
}

# The game's resident memory (kB) and the engine's counts it last logged at
# a menu entry.
resident() { awk '/^VmRSS/{print $2}' "/proc/$pid/status"; }
engine_counts() { grep "Tessaline menu:" "$run/Ogre.log" | tail -1 | sed 's/.*Tessaline menu: //'; }

# The number of times the game has entered the menu.
menu_entries() { grep -c "Tessaline menu:" "$run/Ogre.log"; }
# Whether the menu has been entered at least $1 times.
menu_entered() { [ "$(menu_entries)" -ge "$1" ]; }

# Takes picture $1 and passes CHECK (a function of the picture's name) on it.
shows() {  # shows NAME CHECK [ARGS...]
  picture "$1" && "${@:2}" "$1"
}
# Waits for picture $1 to pass CHECK, then checks it once more in the open,
# so that a failure says what is missing.
wait_shows() {  # wait_shows NAME CHECK
  poll_until 30 quietly shows "$1" "$2"
  "$2" "$1"
}

# Menu -> Help -> any key -> menu -> Credits -> Escape -> menu. With
# "pictures", pictures of the help and credits screens are checked on the
# way. Keys go to the screen the key before left the game on, however slow
# the machine; each round trip waits for its second entry of the menu.
round_trip() {  # round_trip [pictures]
  local before
  before=$(menu_entries)
  keys Down Return
  [ -n "${1:-}" ] && wait_shows help check_help
  keys x
  keys Down Down Return
  [ -n "${1:-}" ] && wait_shows credits check_credits
  keys Escape
  poll_until 30 menu_entered $((before + 2)) || fail "the menu was not entered twice in a round trip"
}

case "$scenario" in
scenery_round_trips)
  [ -x "$region" ] || fail "no picture measuring tool"
  reach_menu
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove $((X + 20)) $((Y + 20))
  wait_shows menu check_menu
  check_tentacles
  round_trip pictures
  wait_shows menu_again check_menu
  # O fades to the next scheme over a second: the texts' colours follow.
  keys o
  wait_shows menu_o check_menu_o
  first_rss=$(resident) first_counts=$(engine_counts)
  for _ in $(seq 2 30); do round_trip; done
  last_rss=$(resident) last_counts=$(engine_counts)
  echo "after the first round trip: resident ${first_rss} kB, ${first_counts}"
  echo "after the 30th round trip:  resident ${last_rss} kB, ${last_counts}"
  echo "growth: $((last_rss - first_rss)) kB"
  entries=$(menu_entries)
  [ "$entries" -eq 61 ] || fail "the menu was entered $entries times, not 1 + 2 per round trip"
  [ "$first_counts" = "$last_counts" ] || fail "engine counts grew: $first_counts -> $last_counts"
  [ $((last_rss - first_rss)) -lt 20000 ] || fail "resident memory grew by $((last_rss - first_rss)) kB"
  picture menu_last
  check_menu menu_last
  keys Down Down Down Return
  wait_exit 30 || fail "game still running after choosing Exit"
  [ "$status" -eq 0 ] || fail "exit status $status"
  check_sound_output "$run/out.txt"
  ;;
accept_menu_escape)
  reach_menu
  xdotool key --window "$wid" Escape 2>/dev/null
  wait_exit 30 || { gdb -p "$pid" -batch -ex "thread 1" -ex "bt 30" 2>/dev/null | grep -E "^#" | head -30; fail "game still running after Escape"; }
  [ "$status" -eq 0 ] || fail "exit status $status"
  check_sound_output "$run/out.txt"
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
  check_sound_output "$run/out.txt"
  ;;
cancel_dialog)
  click_dialog $DIALOG_CANCEL
  wait_exit 30 || fail "game still running after Cancel"
  [ "$status" -eq 0 ] || fail "exit status $status"
  check_sound_output "$run/out.txt"
  xdotool search --name "^Tessaline\$" >/dev/null 2>&1 && fail "a game window opened"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
