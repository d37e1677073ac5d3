#!/usr/bin/env bash
# Runs a game program on the current (virtual) display inside a Wine desktop window; waits
# until its board is drawn, saves a screenshot, then closes it as its close box would.
# Usage: run-headless.sh PROGRAM.exe SCREENSHOT.png [SECONDS-TO-WAIT]
set -euo pipefail
program=$1 shot=$2 wait=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${TAVIK_WINEPREFIX:?}
source "$here/wine-prefix.sh"
source "$here/wine-desktop.sh"
wine_setup "$(wine_arch_of "$program")"

start_on_desktop "$program" "$wait"
wait_for "$wait" "the board to be drawn" board_on_screen "$shot" >/dev/null
close_on_desktop "$program"
