#!/usr/bin/env bash
# End to end: a transcript from another program. Put on the display's clipboard by xclip (Wine
# shares the X clipboard), Ctrl+V in the dist game, and its position seen on the board in a
# screenshot.
# Usage: paste_a_transcript.sh DIST_DIR WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
begin_e2e "$1" "$2"

# The clipboard's owner is xclip, which stays in the background until another program takes
# the clipboard over; it is ended on exit with the rest.
printf '1. f5 d6\r\n2. c3 d3\r\n3. c4\r\n' | xclip -quiet -selection clipboard &
clip_owner=$!
trap 'kill $clip_owner 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
after_c4=------------------XO------XXX------OXX-----O--------------------
# A click on A1 gives the window the focus; nothing is played there while no game runs.
pasted() {
    xdotool mousemove $(square 0 0) click 1 key ctrl+v
    look && [ "$diagram" = "$after_c4" ]
}
wait_for 30 "the pasted transcript's position on the board" pasted
echo "pasted: $diagram"
close_on_desktop "$dist/Tavik.exe"
