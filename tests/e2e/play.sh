#!/usr/bin/env bash
# Plays the game's play screen on $DISPLAY as a player would: keys through
# xdotool with the pointer over the window, and what the window shows read
# back from screenshots.
#   play.sh SCENARIO TESSALINE WINDOWSHOT PPMLIT CONFIGDIR
# Scenarios: keys (play, steer and shoot, pause and resume, Escape back to
# the menu), whole_game (a whole game to the end screen and back) and
# high_score (a game whose score makes the table, and a name typed into it).
set -u
scenario=$1 game=$2 shot=$3 region=$4 config=$5
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }

. "$(dirname "$0")/lib.sh"
run=$(mktemp -d /tmp/tessaline-play.XXXXXX)
lay_out_game "$run" "$game" "$config"
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "${KEEP_SHOTS:-}" ] && { echo "screenshots kept in $run"; return; }
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- game output"; grep -v 'XGetInputFocus' "$run/out.txt" 2>/dev/null | tail -20
  exit 1
}

# Screenshot NAME; sets the file to $run/NAME.ppm.
snap() { "$shot" Tessaline "$run/$1.ppm" >/dev/null 2>&1 || fail "no screenshot $1"; }
# lit NAME X0 Y0 X1 Y1: prints the lit pixels of the rectangle.
# (The bullets are dim: anything above the clear colour counts.)
# lit NAME X0 Y0 X1 Y1 [THRESHOLD]: the same above another threshold.
lit() { "$region" "$run/$1.ppm" "$2" "$3" "$4" "$5" "${6:-12}" | cut -d' ' -f1; }
# measure NAME X0 Y0 X1 Y1: "count meanx meany"
measure() { "$region" "$run/$1.ppm" "$2" "$3" "$4" "$5" 12; }

# Rectangles of the 800 x 600 window: the lives and progress texts, the
# pause text (also where the end screen's line stands), the scene below.
HUD_LIVES="20 20 60 60"
HUD_PROGRESS="65 20 140 60"
TOP_MIDDLE="335 20 780 60"
SCENE="0 70 800 600"
# Where the ship stands when a game starts: at the bottom of the tube, just
# ahead of the camera.
SHIP_AT_START="300 460 500 560"
MENU_PLAY="340 240 460 290"

key() { xdotool key --window "$wid" "$@" 2>/dev/null; }
down() { xdotool keydown --window "$wid" "$1" 2>/dev/null; }
up() { xdotool keyup --window "$wid" "$1" 2>/dev/null; }

(cd "$run" && exec ./tessaline) >"$run/out.txt" 2>&1 &
pid=$!

# Accepts the settings dialog, waits for the menu and puts the pointer over
# the window (keyboard focus follows it).
reach_menu() {
  local X Y
  click_dialog $DIALOG_ACCEPT
  wid=$(wait_window "Tessaline" 30) || fail "no game window"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  wait_for menu "$MENU_PLAY" 20 || fail "menu never drawn"
}

# Whether picture NAME, taken now, shows more than LIT pixels above
# THRESHOLD in the rectangle.
shows_lit() {  # shows_lit NAME RECT LIT [THRESHOLD]
  snap "$1"
  [ "$(lit "$1" $2 ${4:-})" -gt "$3" ]
}
# Until the rectangle shows something.
wait_for() {  # wait_for NAME RECT SECONDS [LIT PIXELS, default 20 [THRESHOLD]]
  poll_until "$3" shows_lit "$1" "$2" "${4:-20}" ${5:-}
}

start_play() {
  key Return
  # The head-up texts are bright; the menu's last frame, still in the
  # window for a moment, is dim there.
  wait_for hud "$HUD_LIVES" 20 20 100 || fail "the lives text never showed"
  # The texts' colour, to tell them from the scenery that may pass behind.
  text_colour=$("$region" --dominant "$run/hud.ppm" $HUD_LIVES 100) || fail "no colour of the texts"
  [ "$(lit hud $HUD_PROGRESS 100)" -gt 20 ] || fail "no progress text"
  [ "$(text hud $TOP_MIDDLE)" -lt 5 ] || fail "something shows where (P)ause belongs before pausing"
  echo "play: head-up texts drawn"
  wait_for ship "$SHIP_AT_START" 10 200 || fail "no ship drawn at the bottom of the tube"
  # The ship's commonest colour, to find it again wherever it goes (the
  # colours change on the song's notes only later).
  ship_colour=$("$region" --dominant "$run/ship.ppm" $SHIP_AT_START 12) || fail "no colour of the ship"
  echo "play: the ship drawn, mostly in $ship_colour"
}
# bright NAME X0 Y0 X1 Y1: the pixels bright enough for text (the scenery's
# shading stays darker in most places).
bright() { "$region" "$run/$1.ppm" "$2" "$3" "$4" "$5" 100 | cut -d' ' -f1; }
# text NAME X0 Y0 X1 Y1: the pixels of the texts' colour in the rectangle.
text() { "$region" "$run/$1.ppm" "$2" "$3" "$4" "$5" 12 $text_colour | cut -d' ' -f1; }
# ship_x NAME: the mean x of the ship's colour on picture NAME.
ship_x() { "$region" "$run/$1.ppm" $SCENE 12 $ship_colour | cut -d' ' -f2; }

back_to_menu_and_quit() {
  wait_for menu2 "$MENU_PLAY" 20 || fail "the menu did not come back"
  key Escape
  wait_exit 30 || fail "game still running after Escape on the menu"
  [ "$status" -eq 0 ] || fail "exit status $status"
  check_sound_output "$run/out.txt"
}

case "$scenario" in
keys)
  reach_menu
  start_play
  # Tapped shots: a few presses leave bullets flying along the tube.
  for _ in 1 2 3 4; do key space; sleep 0.12; done
  poll_until 30 shows_lit tapped "$SCENE" 30
  tapped=$(lit tapped $SCENE)
  [ "$tapped" -gt 30 ] || fail "no bullets after tapping space ($tapped lit pixels)"
  # Steering and pausing come next: they find the ship and the texts by
  # their colours, which stay as they are until the song's first colour
  # change, some 19 s in. The ship is measured on pictures of the paused
  # game, which stand still, so a slow machine spends little more of the
  # song on this than a fast one.
  running() { snap "$1"; [ "$(text "$1" $TOP_MIDDLE)" -lt 5 ]; }
  paused() { snap "$1"; [ "$(text "$1" $TOP_MIDDLE)" -gt 20 ]; }
  resume() { key p; poll_until 30 running "$1" || fail "the game did not resume on P"; }
  pause() { key p; poll_until 30 paused "$1" || fail "no (P)ause text while paused"; }
  # Steering: the camera follows the ship two thirds of the way round the
  # tube, so on the picture the ship goes a third of the way it turns. From
  # the start (the bottom of the tube) LEFT goes left, RIGHT right; comma
  # turns clockwise (left, at the bottom), period counter-clockwise.
  # steer KEY NAME CONDITION: resumes the game and holds KEY, pausing to
  # look until the ship's x passes CONDITION (an awk test of x); lets go
  # with the game paused and sets x to where the ship stands. Every spell
  # between a picture of the game running and the pause moves the ship.
  steer() {
    resume "$2"
    down "$1"
    for _ in $(seq 1 20); do
      pause "$2"
      x=$(ship_x "$2")
      if awk -v x="$x" "BEGIN{exit !(x >= 0 && $3)}"; then up "$1"; return; fi
      resume "$2"
    done
    up "$1"
    fail "$1 held: the ship never got to x $3 (x $x)"
  }
  pause start; x0=$(ship_x start)
  steer Left left "x < $x0 - 25"; x1=$x
  steer Right right "x > $x1 + 35"; x2=$x
  steer comma comma "x < $x2 - 25"; x3=$x
  steer period period "x > $x3 + 25"; x4=$x
  echo "steering: the ship's mean x: start $x0, after LEFT $x1, RIGHT $x2, comma $x3, period $x4"
  awk "BEGIN{exit !($x1 < $x0 - 10 && $x2 > $x1 + 20 && $x3 < $x2 - 10 && $x4 > $x3 + 10)}" ||
    fail "the ship did not turn the way the keys say"
  # Pause: "(P)ause" shows and the scene stands still, held keys or not.
  resume playing
  down space; sleep 0.3
  pause paused1
  # Held keys while paused: a fixed time, for it is stillness that is checked.
  down Left; sleep 0.8; snap paused2; up Left; up space
  [ "$(text paused1 $TOP_MIDDLE)" -gt 20 ] || fail "no (P)ause text while paused"
  [ "$(measure paused1 $SCENE)" = "$(measure paused2 $SCENE)" ] || fail "the scene moved while paused"
  moved_on() { running "$1" && [ "$(measure "$1" $SCENE)" != "$(measure "$2" $SCENE)" ]; }
  key p
  poll_until 30 moved_on resumed paused2
  [ "$(text resumed $TOP_MIDDLE)" -lt 5 ] || fail "(P)ause still shown after resuming"
  [ "$(measure resumed $SCENE)" != "$(measure paused2 $SCENE)" ] || fail "the scene did not move after resuming"
  echo "pause and resume: ok"
  # Held: the shots keep coming while the key stays down (the waits are how
  # long it is held: lower bounds, not waits for a picture).
  down space; sleep 1.2
  poll_until 30 shows_lit held1 "$SCENE" 30
  sleep 0.8
  poll_until 30 shows_lit held2 "$SCENE" 30
  up space
  h1=$(lit held1 $SCENE); h2=$(lit held2 $SCENE)
  [ "$h1" -gt 30 ] && [ "$h2" -gt 30 ] || fail "held space stopped firing ($h1, $h2)"
  echo "shots: tapped $tapped, held $h1 then $h2 lit pixels"
  # Escape goes back to the menu.
  key Escape
  back_to_menu_and_quit
  ;;
whole_game)
  reach_menu
  start_play
  t0=$(date +%s)
  checks=""
  i=0
  while :; do
    now=$(( $(date +%s) - t0 ))
    [ "$now" -lt 440 ] || fail "no end screen after $now s"
    # A scripted player: fire all the time, sweep round the tube.
    if [ $((i % 2)) -eq 0 ]; then dir=Left; else dir=Right; fi
    down space; down $dir; sleep 0.7; up $dir; up space; key space
    i=$((i + 1))
    snap frame
    # The end screen: its line where "(P)ause" would stand, over a scene
    # that no longer moves (the scenery passing behind can light the same
    # spot, but the scene goes on moving under it). Its colour comes from
    # the end screen's own palette.
    if [ "$(bright frame $TOP_MIDDLE)" -gt 40 ]; then
      sleep 0.5; snap frame2
      [ "$(measure frame 0 0 800 600)" = "$(measure frame2 0 0 800 600)" ] && break
    fi
    for at in 15 60 120 240; do
      case " $checks " in *" $at "*) continue ;; esac
      if [ "$now" -ge "$at" ]; then
        cp "$run/frame.ppm" "$run/at$at.ppm"
        l=$(lit frame $HUD_LIVES); p=$(lit frame $HUD_PROGRESS); s=$(lit frame $SCENE)
        echo "song ~${now} s: lives text $l, progress text $p, scene $s lit pixels"
        [ "$l" -gt 10 ] && [ "$p" -gt 10 ] || fail "head-up texts missing at ${now} s"
        [ "$s" -gt 30 ] || fail "nothing drawn in the scene at ${now} s"
        checks="$checks $at"
      fi
    done
  done
  echo "end screen after $(( $(date +%s) - t0 )) s"
  # Which line: "You Won!" is shorter than "You Lost!", both start at 340.
  echo "outcome line: $(measure frame $TOP_MIDDLE)"
  # Keys other than Return leave the end screen alone.
  key Escape; key space; sleep 0.5; snap still
  [ "$(measure still $TOP_MIDDLE)" = "$(measure frame $TOP_MIDDLE)" ] ||
    fail "the end screen went away on a key other than Return"
  key Return
  back_to_menu_and_quit
  ;;
high_score)
  # A table that any finished game makes: a game without a key scores 0.
  printf 'Best\nann\n900\nbob\n700\ncyd\n-1\ndee\n-3\neve\n-5\n' >"$run/scores.kes"
  chmod 640 "$run/scores.kes"
  reach_menu
  start_play
  # Nobody steers or fires: the asteroid waves aimed at the start position
  # take the lives one by one, some 70 s into the song.
  t0=$(date +%s)
  while :; do
    [ $(( $(date +%s) - t0 )) -lt 200 ] || fail "no end screen after 200 s"
    sleep 1
    snap frame
    if [ "$(bright frame $TOP_MIDDLE)" -gt 40 ]; then
      sleep 0.5; snap ended
      [ "$(measure frame 0 0 800 600)" = "$(measure ended 0 0 800 600)" ] && break
    fi
  done
  echo "end screen after $(( $(date +%s) - t0 )) s"
  # The prompt and the name line under the outcome line.
  NAME_LINE="335 75 560 100"
  [ "$(bright ended 335 50 780 75)" -gt 40 ] || fail "no name asked for"
  # Typed as a player types: the pointer rests over the window, which has
  # the focus.
  for k in k i x BackSpace m; do
    xdotool key "$k" 2>/dev/null
    sleep 0.15
  done
  name_shown() { snap typed; [ "$(bright typed $NAME_LINE)" -gt $(( $(bright ended $NAME_LINE) + 20 )) ]; }
  poll_until 30 name_shown
  [ "$(bright typed $NAME_LINE)" -gt $(( $(bright ended $NAME_LINE) + 20 )) ] || fail "the typed name does not show"
  xdotool key Return 2>/dev/null
  wait_for menu2 "$MENU_PLAY" 20 || fail "Return did not go back to the menu"
  want=$'Best\nann\n900\nbob\n700\nkim\n0\ncyd\n-1\ndee\n-3'
  [ "$(cat "$run/scores.kes")" = "$want" ] || fail "the table on disk: $(cat -A "$run/scores.kes")"
  [ "$(stat -c %a "$run/scores.kes")" = 640 ] || fail "the table's mode became $(stat -c %a "$run/scores.kes")"
  left=$(cd "$run" && ls -A | grep '^scores\.kes.' || true)
  [ -z "$left" ] || fail "left beside the table: $left"
  echo "the table on disk: $(tr '\n' ' ' <"$run/scores.kes")"
  key Escape
  wait_exit 30 || fail "game still running after Escape on the menu"
  [ "$status" -eq 0 ] || fail "exit status $status"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
