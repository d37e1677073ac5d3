#!/usr/bin/env bash
# End to end: the move values on the board. The dist game at the initial position, Ctrl+H as a
# person presses it, and in a screenshot a value drawn on each of the four legal squares (D3,
# C4, F5, E6) and nothing changed elsewhere on the board. Ctrl+H again takes them away.
# Usage: values_on_the_board.sh DIST_DIR WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
begin_e2e "$1" "$2"

# A click on A1 gives the window the focus; nothing is played there while no game runs.
xdotool mousemove $(square 0 0) click 1
sleep 1
import -window root "$work/before.png"
drawn() {
    import -window root "$work/values.png"
    python3 "$here/values_on_squares.py" "$work/before.png" "$work/values.png" "$x0" "$y0" D3 C4 F5 E6
}
xdotool key ctrl+h
wait_for 30 "values on the four legal squares" drawn
gone() {
    import -window root "$work/after.png"
    python3 "$here/values_on_squares.py" "$work/before.png" "$work/after.png" "$x0" "$y0" >/dev/null
}
xdotool key ctrl+h
wait_for 30 "the values to go when the item is turned off" gone
echo "and gone again after the second Ctrl+H"
close_on_desktop "$dist/Tavik.exe"
