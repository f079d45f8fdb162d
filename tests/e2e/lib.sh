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

# The settings dialog's buttons, from its top-left corner.
DIALOG_ACCEPT="446 353"
DIALOG_CANCEL="376 353"

# Clicks the dialog's button at (dx, dy) from its top-left corner.
click_dialog() {
  local id X Y
  id=$(wait_window "Rendering Settings" 30) || fail "no settings dialog"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  sleep 0.5
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
