#!/usr/bin/env bash
# End to end: the dist game started with a saved game's path on its command line, as "Open
# with" or a file association starts it (a folder and a name with spaces, "/D" after it), and
# that game's last position seen on the board in a screenshot.
# Usage: open_from_command_line.sh DIST_DIR WORK_DIR
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
before_start() {
    mkdir -p "$work/my games"
    cp "$root/tests/data/games/full_with_pass.tvk" "$work/my games/a whole game.tvk"
    arguments=("Z:$(tr / '\\' <<<"$work/my games/a whole game.tvk")" /D)
}
begin_e2e "$1" "$2"

last=OOOOOOOXXOOXXOOXXOOOOOOXXOXOOOOXXOOOXOOXXOXOOXOXXOOOOOXXXOOXXXXX
opened() { look && [ "$diagram" = "$last" ]; }
wait_for 30 "the game named on the command line on the board" opened
echo "opened from the command line: $diagram"
close_on_desktop "$dist/Tavik.exe"
