#!/usr/bin/env bash
# Runs a game program on the current (virtual) display inside a Wine desktop window, so its
# windows get frames without a window manager; waits until it has drawn, saves a screenshot,
# then asks it to close (WM_CLOSE, as the close box does) and waits until Wine has ended.
# Usage: run-headless.sh PROGRAM.exe SCREENSHOT.png [SECONDS-TO-WAIT]
set -euo pipefail
program=$1 shot=$2 wait=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${TAVIK_WINEPREFIX:?}
source "$here/wine-prefix.sh"

# The program starts in its own folder, as a double click in Explorer would start it.
(cd "$(dirname "$program")" && exec wine explorer "/desktop=Tavik,1024x768" "$(basename "$program")") &
runner=$!

# The game is up when its process is listed and the desktop has settled for a moment.
for ((i = 0; i < wait * 2; i++)); do
    if pgrep -f "$(basename "$program")" >/dev/null; then break; fi
    sleep 0.5
done
sleep 4
import -window root "$shot"
# Alt+F4 to the active window, the main one (the record window hands the focus back to it):
# the window closes as by its close box, and the record window stays open for the next run.
xdotool mousemove 300 300 key alt+F4 || true
for ((i = 0; i < 40; i++)); do
    pgrep -f "$(basename "$program")" >/dev/null || break
    sleep 0.5
done
wineserver -k 2>/dev/null || true
wait "$runner" 2>/dev/null || true
