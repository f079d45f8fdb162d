# What the end-to-end scripts share: the game's folder laid out fresh, and
# waiting for windows and for the game to end. Sourced; the script sets pid
# (the game's process) before it waits.

# Lays out a fresh game folder DIR as the build does: the shipped
# configuration files and a copy of the executable (the game reads its files
# beside it), with the built media and font linked.
lay_out_game() {  # lay_out_game DIR TESSALINE CONFIGDIR
  local src
  src=$(dirname "$2")
  cp "$3"/plugins.cfg "$3"/resources.cfg "$3"/ogre.cfg "$2" "$1"/
  ln -s "$src"/media "$1"/media
  ln -s "$src"/fonts "$1"/fonts
}

# Runs COMMAND until it succeeds, for up to SECONDS of wall time; gives up
# at once when the game ($pid, when set) has ended. A window test waits for
# what it checks rather than for a fixed time, so a loaded machine makes it
# slower, never red.
poll_until() {  # poll_until SECONDS COMMAND [ARGS...]
  local limit=$((SECONDS + $1))
  shift
  until "$@"; do
    [ -z "${pid:-}" ] || kill -0 "$pid" 2>/dev/null || return 1
    [ "$SECONDS" -lt "$limit" ] || return 1
    sleep 0.1
  done
}

# Runs a check that fails the script (fail) in a subshell, without its
# output: for poll_until, which then repeats it until it passes. The caller
# runs the check once more in the open, so a failure still says what failed.
quietly() { ("$@") >/dev/null 2>&1; }

# Prints the id of the window named exactly $1, if there is one.
window_id() { xdotool search --name "^$1\$" 2>/dev/null | head -1 | grep .; }

# Waits up to $2 seconds for a window named exactly $1; prints its id.
wait_window() { poll_until "$2" window_id "$1"; }

# Waits up to $1 seconds for the game to end; sets status.
game_ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_exit() {
  poll_until "$1" game_ended || return 1
  wait "$pid"
  status=$?
  pid=""
}

# Whether the window named $1 shows a drawn picture, not just a cleared
# one: some colours, and some pixels off the background. Keeps the picture
# in FILE when given. (Needs shot, the window-picture tool.)
window_drawn() {  # window_drawn NAME [FILE]
  local colours share
  read -r colours share < <("$shot" "$1" ${2:+"$2"} 2>/dev/null) || return 1
  [ -n "${share:-}" ] && awk "BEGIN{exit !($colours >= 8 && $share > 0.002)}"
}

# The settings dialog's buttons, from its top-left corner.
DIALOG_ACCEPT="446 353"
DIALOG_CANCEL="376 353"

# Clicks the dialog's button at (dx, dy) from its top-left corner.
click_dialog() {
  local id X Y
  id=$(wait_window "Rendering Settings" 30) || fail "no settings dialog"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  # Clicks before the dialog has drawn itself can miss its buttons.
  poll_until 30 window_drawn "Rendering Settings" || fail "the settings dialog was never drawn"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}

# The game's output FILE holds nothing from the sound libraries, and at most
# the one line the game prints when the machine has no sound device.
check_sound_output() {  # check_sound_output FILE
  if grep -q '^ALSA lib\|^AL lib' "$1"; then
    fail "the sound libraries printed: $(grep -m1 '^ALSA lib\|^AL lib' "$1")"
  fi
  [ "$(grep -c 'sound' "$1")" -le 1 ] || fail "more than one line about sound"
  if grep -q 'sound' "$1"; then
    grep -qx 'No sound device: playing without sound.' "$1" || fail "unexpected line: $(grep -m1 sound "$1")"
  fi
}
