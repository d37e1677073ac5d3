#!/usr/bin/env bash
# End to end: a person's first move. The dist Tavik.exe on the display, a real click on the
# board to give it the focus, Space to start the game, a click on F5, and the computer's reply
# seen in a screenshot: three black and three white stones, F5 black. Then Alt+F4.
# Usage: play_a_move.sh DIST_DIR WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
begin_e2e "$1" "$2"

play_f5_and_the_reply
echo "after the reply: $diagram"
[ "${diagram:37:1}" = X ] || { echo "F5 should be black"; exit 1; }

close_on_desktop "$dist/Tavik.exe"
