#!/usr/bin/env bash
# End to end: a person's first move. The dist Tavik.exe on the display, a real click on the
# board to give it the focus, Space to start the game, a click on F5, and the computer's reply
# seen in a screenshot: three black and three white stones, F5 black. Then Alt+F4.
# Usage: play_a_move.sh DIST_DIR WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
begin_e2e "$1" "$2"

square() { echo $((x0 + $1 * 50 + 25)) $((y0 + $2 * 50 + 25)); }

# A click on A1 gives the window the focus (no game runs yet, and A1 is no move later), Space
# starts the game, and a click on F5 plays it. Each step is harmless when repeated, so they are
# repeated until F5 shows black: the first click may arrive before the window takes input.
f5_played() {
    xdotool mousemove $(square 0 0) click 1 key space mousemove $(square 5 4) click 1
    read -r _ _ diagram < <(board_on_screen "$work/move.png")
    [ "${diagram:37:1}" = X ]
}
wait_for 30 "F5 to be played (focus, Space, click)" f5_played

# The computer answers: three stones of each colour.
replied() {
    read -r _ _ diagram < <(board_on_screen "$work/reply.png")
    [ "$(tr -cd X <<<"$diagram" | wc -c)" -eq 3 ] && [ "$(tr -cd O <<<"$diagram" | wc -c)" -eq 3 ]
}
wait_for 30 "the computer's reply (three stones of each colour)" replied
echo "after the reply: $diagram"
[ "${diagram:37:1}" = X ] || { echo "F5 should be black"; exit 1; }

close_on_desktop "$dist/Tavik.exe"
