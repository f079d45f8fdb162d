#!/usr/bin/env bash
# The game against its environment, one row of a table per run: odd or
# broken start-up files, a lost window or display, a full disk. Each row
# lays out a fresh game folder, starts the game from another folder, plays
# its part and checks the exit status, the error box or the line on
# standard error, and that no core was dumped.
#   startup.sh ROW TESSALINE WINDOWSHOT CLOSEBUTTON CONFIGDIR
# Exit status 77 skips a row the machine cannot run.
set -u
row=$1 game=$2 shot=$3 closebutton=$4 config=$5
src=$(dirname "$game")
. "$(dirname "$0")/lib.sh"
box="An exception has occured!"

# The table (columns between bars): row, what is done to the fresh folder before the start, how
# the run goes, expected exit status, expected text on standard error. A
# set-up may `keep FILE`: FILE must be as it was after the run (a file's
# bytes and number of names, a link's target).
#   play    accept the settings, reach the menu, press the close button
#   box     an error box comes up (after accepting the settings with
#           box-after-dialog); its text goes to standard error too
#   lose-*  accept, reach the menu, then lose the window or display
#   dialog-kill  close the settings dialog as a window manager does
#   nodisp  start with no display at all
table() {
  cat <<'ROWS'
dialog_closed     | -                                                                  | dialog-kill      | 0 | -
close_button      | -                                                                  | play             | 0 | -
force_close       | -                                                                  | lose-kill        | 1 | lost the connection to the display
window_destroyed  | -                                                                  | lose-destroy     | 1 | lost the display (the game window was destroyed)
server_at_dialog  | -                                                                  | lose-server-dialog | 1 | lost the connection to the display
server_death      | -                                                                  | lose-server      | 1 | lost the connection to the display
no_display        | -                                                                  | nodisp           | 1 | X display
other_folder      | cwd-bad-plugins                                                    | play             | 0 | -
plugins_missing   | rm plugins.cfg                                                     | box              | 1 | plugins.cfg
plugins_bad       | echo Plugin=RenderSystem_Nope >plugins.cfg                         | box              | 1 | Could not load dynamic library
plugins_no_render | sed -i /RenderSystem_GL/d plugins.cfg                              | box              | 1 | names no render system
readonly_folder   | as-nobody chmod 555 .                                              | play             | 0 | the settings could not be saved to ogre.cfg
readonly_settings | as-nobody chmod 444 ogre.cfg                                       | play             | 0 | the settings could not be saved to ogre.cfg
plugins_directory | rm plugins.cfg; mkdir plugins.cfg                                  | box              | 1 | 'plugins.cfg' is not a regular file
plugins_fifo      | rm plugins.cfg; mkfifo plugins.cfg                                 | box              | 1 | 'plugins.cfg' is not a regular file
resources_dir     | rm resources.cfg; mkdir resources.cfg                              | box-after-dialog | 1 | 'resources.cfg' is not a regular file
resources_fifo    | rm resources.cfg; mkfifo resources.cfg                             | box-after-dialog | 1 | 'resources.cfg' is not a regular file
resources_device  | rm resources.cfg; ln -s /dev/zero resources.cfg                     | box-after-dialog | 1 | 'resources.cfg' is not a regular file
log_fifo          | mkfifo Ogre.log                                                    | play             | 0 | the engine log Ogre.log cannot be written
log_link          | echo precious >../elsewhere; ln -s ../elsewhere Ogre.log; keep Ogre.log; keep ../elsewhere | play | 0 | the engine log Ogre.log cannot be written
log_hardlink      | echo precious >../elsewhere; ln ../elsewhere Ogre.log; keep Ogre.log; keep ../elsewhere | play | 0 | the engine log Ogre.log cannot be written
settings_dir      | rm ogre.cfg; mkdir ogre.cfg                                        | play             | 0 | the settings could not be saved to ogre.cfg (Is a directory)
settings_fifo     | rm ogre.cfg; mkfifo ogre.cfg                                       | play             | 0 | -
settings_too_big  | { printf '#%1048576s\n' ''; cat ogre.cfg; } >big; mv big ogre.cfg; keep ogre.cfg | play | 0 | ogre.cfg is larger than 1048576 bytes
video_mode_zero   | sed -i 's/^Video Mode=.*/Video Mode=0 x 0/' ogre.cfg               | play             | 0 | the video mode "0 x 0" in ogre.cfg is out of range; using 800 x 600
video_mode_text   | sed -i 's/^Video Mode=.*/Video Mode=abc/' ogre.cfg                 | play             | 0 | the video mode "abc" in ogre.cfg is out of range; using 800 x 600
video_mode_huge   | sed -i 's/^Video Mode=.*/Video Mode=32767 x 32767/' ogre.cfg       | play             | 0 | the video mode "32767 x 32767" in ogre.cfg is out of range; using 800 x 600
media_fifo        | media-copy; rm media/kestor_menu.mp3; mkfifo media/kestor_menu.mp3 | play             | 0 | -
font_fifo         | fonts-copy; rm fonts/solo5.ttf; mkfifo fonts/solo5.ttf             | box-after-dialog | 1 | solo5.ttf' is not a regular file
full_disk         | full-disk                                                          | play             | 0 | the settings could not be saved to ogre.cfg (No space left on device)
ROWS
}

# Rows whose line must be the game's only one on standard error.
only_line="log_fifo log_link log_hardlink settings_too_big"

line=$(table | awk -F' *[|] *' -v r="$row" '$1 == r')
[ -n "$line" ] || { echo "FAIL: no row $row"; exit 1; }
IFS=$'\t' read -r _ setup how want_status want_text < <(echo "$line" | sed -E 's/ *[|] */\t/g')
if [ "$how" != nodisp ]; then
  [ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
fi

run=$(mktemp -d /tmp/tessaline-startup.XXXXXX)
chmod 755 "$run"
pid="" xvfb="" mounted=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  [ -n "$mounted" ] && umount "$run/game" 2>/dev/null
  chmod -R u+w "$run" 2>/dev/null
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $row: $*"
  echo "--- game output"; tail -20 "$run/err.txt" 2>/dev/null
  exit 1
}
skip() { echo "SKIPPED: $row: $*"; exit 77; }

# What a file is: a link's target, a file's bytes and number of names, or
# neither.
fingerprint() {
  if [ -L "$1" ]; then echo "link to $(readlink "$1")"
  elif [ -f "$1" ]; then echo "file of $(stat -c %h "$1") names $(sha256sum <"$1")"
  else echo "no file"; fi
}
keep() { printf '%s\t%s\n' "$PWD/$1" "$(fingerprint "$1")" >>"$run/kept"; }

# The game's folder, as the build lays it out.
dir=$run/game
mkdir "$dir"
as_user=""
case "$setup" in
full-disk)
  # A small file system with room for the game and nothing more.
  size=$(( $(stat -c %s "$game") / 1024 + 1024 ))
  mount -t tmpfs -o size=${size}k tessaline-full "$dir" 2>/dev/null || skip "cannot mount a small file system here (needs root and mount rights)"
  mounted=1
  ;;
esac
cp "$config"/plugins.cfg "$config"/resources.cfg "$game" "$dir"/
[ "$setup" = full-disk ] || cp "$config"/ogre.cfg "$dir"/
ln -s "$src"/media "$dir"/media
ln -s "$src"/fonts "$dir"/fonts
chmod 755 "$dir"

case "$setup" in
-) ;;
full-disk)
  dd if=/dev/zero of="$dir/filler" bs=4k >/dev/null 2>&1
  ;;
cwd-bad-plugins)
  # The folder the game is started from holds a broken plug-in list.
  echo "Plugin=RenderSystem_Nope" >"$run/plugins.cfg"
  ;;
as-nobody*)
  # Root may write anything: the row needs a plain user.
  if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || skip "running as root without setpriv"
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
    # That user may not reach the build (a checkout under /root is closed
    # to others): the game's media, font and the window tool are copied
    # here, into a folder of its own.
    rm "$dir/media" "$dir/fonts"
    cp -rL "$src/media" "$src/fonts" "$dir"/ || fail "cannot copy the media and font"
    cp "$closebutton" "$run/closebutton" || fail "cannot copy $closebutton"
    closebutton=$run/closebutton
    chown -R 65534:65534 "$dir"
    $as_user "$closebutton" "no such window"
    [ $? -eq 2 ] || skip "a plain user cannot open the display $DISPLAY"
  fi
  (cd "$dir" && eval "${setup#as-nobody }") || fail "set-up failed"
  ;;
*)
  setup=${setup//media-copy/rm media; mkdir media; for f in "$src"/media/*; do ln -s "\$f" media/; done}
  setup=${setup//fonts-copy/rm fonts; mkdir fonts; for f in "$src"/fonts/*; do ln -s "\$f" fonts/; done}
  (cd "$dir" && eval "$setup") || fail "set-up failed"
  ;;
esac

if [[ "$how" == lose-server* ]]; then
  # A display of this row's own, to be shut down under the game.
  command -v Xvfb >/dev/null || skip "no Xvfb"
  exec 5>"$run/displayfd"
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  exec 5>&-
  poll_until 30 test -s "$run/displayfd"
  [ -s "$run/displayfd" ] || skip "private Xvfb did not start"
  export DISPLAY=:$(head -1 "$run/displayfd")
fi

ulimit -c unlimited 2>/dev/null
if [ "$how" = nodisp ]; then
  (cd "$run" && unset DISPLAY && exec $as_user "$dir/tessaline") >"$run/err.txt" 2>&1 &
else
  (cd "$run" && exec $as_user "$dir/tessaline") >"$run/err.txt" 2>&1 &
fi
pid=$!

accept_dialog() { click_dialog $DIALOG_ACCEPT; }

reach_menu() {
  accept_dialog
  wid=$(wait_window "Tessaline" 30) || fail "no game window"
  poll_until 30 window_drawn Tessaline || fail "menu never drawn"
}

close_box() {
  wait_window "$box" 30 >/dev/null || fail "no error box"
  # The box takes the close button once it has set up its window.
  poll_until 30 "$closebutton" "$box" || fail "error box would not close"
}

case "$how" in
play)
  reach_menu
  if [[ "$row" == video_mode_* ]]; then
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    [ "$WIDTH" = 800 ] && [ "$HEIGHT" = 600 ] || fail "window is ${WIDTH}x${HEIGHT}, not the shipped 800x600"
  fi
  "$closebutton" Tessaline || fail "the game window takes no close button"
  ;;
box) close_box ;;
box-after-dialog) accept_dialog; close_box ;;
lose-kill) reach_menu; xdotool windowkill "$wid" ;;
dialog-kill)
  # What a window manager does to a window that takes no close requests.
  id=$(wait_window "Rendering Settings" 30) || fail "no settings dialog"
  poll_until 30 window_drawn "Rendering Settings" || fail "the settings dialog was never drawn"
  xdotool windowkill "$id"
  ;;
lose-destroy) reach_menu; xdotool windowclose "$wid" 2>/dev/null || fail "could not destroy the window" ;;
lose-server) reach_menu; kill "$xvfb"; wait "$xvfb" 2>/dev/null; xvfb="" ;;
lose-server-dialog)
  wait_window "Rendering Settings" 30 >/dev/null || fail "no settings dialog"
  poll_until 30 window_drawn "Rendering Settings" || fail "the settings dialog was never drawn"
  kill "$xvfb"; wait "$xvfb" 2>/dev/null; xvfb=""
  ;;
nodisp) ;;
esac

wait_exit 30 || fail "still running"
[ "$status" -lt 128 ] || fail "ended by signal $((status - 128))"
ls "$run"/core* "$dir"/core* >/dev/null 2>&1 && fail "a core was dumped"
[ "$status" -eq "$want_status" ] || fail "exit status $status, expected $want_status"
if [ "$want_text" != "-" ]; then
  grep -qF -- "$want_text" "$run/err.txt" || fail "standard error lacks: $want_text"
fi
if [[ "$how" == lose-* ]] || [[ " $only_line " == *" $row "* ]]; then
  n=$(grep -c '^Tessaline: ' "$run/err.txt")
  [ "$n" -eq 1 ] || fail "$n lines from the game on standard error, expected one"
fi
if [ -s "$run/kept" ]; then
  while IFS=$'\t' read -r file was; do
    [ "$(fingerprint "$file")" = "$was" ] || fail "$file changed: was $was, now $(fingerprint "$file")"
  done <"$run/kept"
fi
if [ "$setup" = full-disk ]; then
  left=$(cd "$dir" && ls -A | grep -v '^filler$\|^tessaline$\|^plugins.cfg$\|^resources.cfg$\|^media$\|^fonts$')
  [ -z "$left" ] || fail "left behind on the full disk: $left"
fi
[ -n "${STARTUP_VERBOSE:-}" ] && cat "$run/err.txt"
echo "PASS: $row"
