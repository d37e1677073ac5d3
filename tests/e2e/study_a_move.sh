#!/usr/bin/env bash
# End to end: the study menu as a person uses it. The dist Tavik.exe on the display, Space to
# start a game, Ctrl+E for the evaluation of every move, the four rows of the initial position
# found in a screenshot of the window's list, a double click on the top row (D3: the four
# moves score alike, so the first cell comes first), and D3 black on the board.
# Usage: study_a_move.sh DIST_DIR WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
begin_e2e "$1" "$2"

# A click on A1 for the focus, Space to start a game, Ctrl+E: the window takes them in order.
xdotool mousemove $((x0 + 25)) $((y0 + 25)) click 1 key space ctrl+e
# The header and four rows: five bands of text in the list.
rows() {
    import -window root "$work/list.png"
    read -r listX bands < <(python3 "$here/list_rows.py" "$work/list.png") || return 1
    [ "$(wc -w <<<"$bands")" -eq 5 ]
}
wait_for 60 "the evaluation window with the four rows of the start" rows
read -r listX _ top _ < <(python3 "$here/list_rows.py" "$work/list.png")
echo "list rows found; the top row at $listX,$top"

xdotool mousemove "$listX" "$top" click --repeat 2 --delay 80 1
played() {
    read -r _ _ diagram < <(board_on_screen "$work/played.png") || return 1
    [ "${diagram:19:1}" = X ]  # D3 (row 3, column D)
}
wait_for 30 "D3 to be played from the list" played
echo "D3 played from the evaluation window"
close_on_desktop "$dist/Tavik.exe"
