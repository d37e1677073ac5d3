#!/usr/bin/env bash
# End to end: a game saved and opened again through the real file dialogs of the dist game, as
# a person does it with the keyboard. F5 and the computer's reply; Ctrl+S, the path typed into
# the dialog, Return: a game file of 37,071 bytes. Ctrl+N: a new game. Ctrl+O, the same path:
# the saved position is on the screen again.
# Usage: save_and_open.sh DIST_DIR WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
begin_e2e "$1" "$2"

play_f5_and_the_reply
saved=$diagram
game="Z:$(tr / '\\' <<<"$work/game.tvk")"

keys_open_window "the save dialog" ctrl+s
xdotool type --delay 20 "$game"
xdotool key Return
written() { [ -f "$work/game.tvk" ] && [ "$(stat -c %s "$work/game.tvk")" -eq 37071 ]; }
wait_for 20 "the game file of 37071 bytes" written
echo "saved: $(stat -c %s "$work/game.tvk") bytes"

xdotool key ctrl+n
start_position() { look && [ "$diagram" = "${start_diagram:=---------------------------OX------XO---------------------------}" ]; }
wait_for 20 "the new game's initial position" start_position

keys_open_window "the open dialog" ctrl+o
xdotool type --delay 20 "$game"
xdotool key Return
opened() { look && [ "$diagram" = "$saved" ]; }
wait_for 20 "the saved position on the board again" opened
echo "opened: $diagram"
close_on_desktop "$dist/Tavik.exe"
