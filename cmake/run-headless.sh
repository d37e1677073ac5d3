#!/usr/bin/env bash
# Runs a game program on the current (virtual) display inside a Wine desktop window; waits
# until it has drawn, saves a screenshot, then closes it as its close box would.
# Usage: run-headless.sh PROGRAM.exe SCREENSHOT.png [SECONDS-TO-WAIT]
set -euo pipefail
program=$1 shot=$2 wait=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${TAVIK_WINEPREFIX:?}
source "$here/wine-prefix.sh"
source "$here/wine-desktop.sh"

start_on_desktop "$program" "$wait"
sleep 4  # let the desktop settle
import -window root "$shot"
close_on_desktop "$program"
