#!/usr/bin/env bash
# End to end: the players window of the dist game, as a person uses it. Both colours stored as
# human; Ctrl+M opens 対局者設定; a click on white's コンピュータ and one on OK; the game closed
# with Alt+F4; Wine's reg tool shows IsWhiteComputer 1. A second start: F5 is answered by the
# computer playing white.
# Usage: set_players.sh DIST_DIR WORK_DIR CONTROL_AT_EXE
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
control_at=$3
key='HKCU\Software\Halvorn\Tavik'
before_start() {
    "$TAVIK_WINE" reg add "$key" /v IsWhiteComputer /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$TAVIK_WINE" reg add "$key" /v ShowKifu /t REG_DWORD /d 0 /f >/dev/null 2>&1
}
begin_e2e "$1" "$2"

windows_path() { echo "Z:$(tr / '\\' <<<"$1")"; }

# click_control ID: a click in the middle of the players window's control ID, once it shows.
click_control() {
    local found=$work/control.txt
    located() {
        rm -f "$found"
        "$TAVIK_WINE" explorer "/desktop=Tavik,1024x768" "$(windows_path "$control_at")" "$1" \
            "$(windows_path "$found")" >/dev/null 2>&1 || true
        for _ in 1 2 3 4 5 6; do [ -s "$found" ] && return 0; sleep 0.5; done
        return 1
    }
    wait_for 30 "control $1 of the players window" located "$1"
    read -r cx cy mx my < <(tr -d "\r" <"$found")
    xdotool mousemove $((cx - mx + x0)) $((cy - my + y0)) click 1
}

xdotool mousemove $((x0 + 25)) $((y0 + 25)) click 1 key ctrl+m
click_control 1025
import -window root "$work/players.png"
click_control 1000
close_on_desktop "$1/Tavik.exe"
stored=$("$TAVIK_WINE" reg query "$key" /v IsWhiteComputer 2>/dev/null | tr -d '\r')
echo "$stored"
grep -q 'IsWhiteComputer *REG_DWORD *0x1$' <<<"$stored" || { echo "IsWhiteComputer should be 1"; exit 1; }
wineserver -k 2>/dev/null || true

start_on_desktop "$1/Tavik.exe"
wait_for 60 "the board to be drawn again" board_on_screen "$work/again.png" >/dev/null
play_f5_and_the_reply
echo "the computer played white's reply"
close_on_desktop "$1/Tavik.exe"
