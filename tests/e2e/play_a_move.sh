#!/usr/bin/env bash
# End to end: a person's first move. The dist Tavik.exe on the display, a real click on the
# board to give it the focus, Space to start the game, a click on F5, and the computer's reply
# seen in a screenshot: three black and three white stones, F5 black. Then Alt+F4.
# Usage: play_a_move.sh DIST_DIR WORK_DIR
set -euo pipefail
dist=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/wineprefix
source "$root/cmake/wine-prefix.sh"
source "$root/cmake/wine-desktop.sh"

trap 'wineserver -k 2>/dev/null || true' EXIT
start_on_desktop "$dist/Tavik.exe"

corner=
for ((i = 0; i < 30; i++)); do
    sleep 1
    import -window root "$work/start.png"
    if corner=$(python3 "$here/find_board.py" "$work/start.png" --diagram); then break; fi
done
read -r x0 y0 diagram <<<"$corner"
echo "board at $x0,$y0: $diagram"

xdotool mousemove $((x0 + 25)) $((y0 + 25)) click 1   # A1: no game yet, only the focus
sleep 0.5
xdotool key space
sleep 0.5
xdotool mousemove $((x0 + 5 * 50 + 25)) $((y0 + 4 * 50 + 25)) click 1   # F5
for ((i = 0; i < 40; i++)); do
    sleep 0.5
    import -window root "$work/reply.png"
    read -r _ _ diagram < <(python3 "$here/find_board.py" "$work/reply.png" --diagram)
    blacks=$(tr -cd X <<<"$diagram" | wc -c)
    whites=$(tr -cd O <<<"$diagram" | wc -c)
    if [ "$blacks" -eq 3 ] && [ "$whites" -eq 3 ]; then break; fi
done
echo "after the reply: $diagram"
[ "${diagram:37:1}" = X ] || { echo "F5 should be black"; exit 1; }
[ "$blacks" -eq 3 ] && [ "$whites" -eq 3 ] || { echo "expected the computer's reply (3 and 3)"; exit 1; }

close_on_desktop "$dist/Tavik.exe"
