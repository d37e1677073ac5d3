#!/usr/bin/env bash
# End to end, as a Windows user meets the game: the zip package unpacked into a fresh folder
# (the names as Windows shows them, the files it must hold), Tavik.exe started from there in a
# fresh Wine prefix, its board found in a screenshot, the game closed by Alt+F4 as a person
# would, and its settings read back from the registry with Wine's own reg tool: all 19 values,
# written at exit. Meanwhile another process named Tavik.exe runs on the machine and another
# program holds the display's focus: the game that was started is the one closed and waited
# for, and both others are still there afterwards. The prefix holds the Marlett font, with
# which Wine draws the caption buttons.
# Usage: start_and_close.sh PACKAGE.zip DIST_DIR WORK_DIR   (the zip should hold DIST_DIR)
set -euo pipefail
package=$1 dist_dir=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
rm -rf "$work"
mkdir -p "$work/unpacked"

# Python's reader takes a name as UTF-8 only when the zip says so; without the flag the
# manual's name would come out as mojibake, as it would on Windows.
python3 -m zipfile -e "$package" "$work/unpacked"
top=$(basename "$package" .zip)
if [ "$(ls "$work/unpacked")" != "$top" ] || ! diff -r "$dist_dir" "$work/unpacked/$top"; then
    echo "the package should hold exactly the dist folder, as one folder $top"
    exit 1
fi
dist=$work/unpacked/$top

# The decoys: a process that the kernel names Tavik.exe (a copy of sleep), and a window of
# another program that takes the focus back whenever it loses it. Both are ended on exit.
mkdir "$work/decoy"
cp "$(command -v sleep)" "$work/decoy/Tavik.exe"
"$work/decoy/Tavik.exe" 600 &
decoy_process=$!
xmessage -title "another program" -geometry 200x60+0+700 "another program" 2>/dev/null &
decoy_window=$!
(
    while sleep 0.2; do
        for window in $(xdotool search --name '^another program$' 2>/dev/null); do
            xdotool windowfocus "$window" 2>/dev/null || true
        done
    done
) &
focus_taker=$!
# Wine's server is ended too, and waited for: it writes the registry into the work folder as
# it exits, where the next run of this test would be deleting it.
trap 'kill "$focus_taker" "$decoy_window" "$decoy_process" 2>/dev/null || true
      WINEPREFIX=$work/wineprefix wineserver -k 2>/dev/null; WINEPREFIX=$work/wineprefix wineserver -w 2>/dev/null || true' EXIT

export TAVIK_WINEPREFIX=$work/wineprefix
"$root/cmake/run-headless.sh" "$dist/Tavik.exe" "$work/screenshot.png"
python3 "$here/find_board.py" "$work/screenshot.png"
for decoy in "$decoy_process" "$decoy_window"; do
    kill -0 "$decoy" 2>/dev/null || { echo "the run ended another program (process $decoy)"; exit 1; }
done
cmp /usr/share/wine/fonts/marlett.ttf "$TAVIK_WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ||
    { echo "the prefix lacks the Marlett font: caption buttons would read 0 1 r"; exit 1; }

export WINEPREFIX=$TAVIK_WINEPREFIX
source "$root/cmake/wine-prefix.sh"
wine_setup "$(wine_arch_of "$dist/Tavik.exe")"
values=$("$TAVIK_WINE" reg query 'HKCU\Software\Halvorn\Tavik' 2>/dev/null | tr -d '\r')
count=$(grep -c 'REG_' <<<"$values" || true)
echo "$values"
if [ "$count" -ne 19 ]; then
    echo "expected 19 stored values, found $count"
    exit 1
fi
for name in BoardNumber ShowKifu IsWhiteComputer BlackPlayerName WhitePlayerName; do
    grep -q "^ *$name " <<<"$values" || { echo "missing $name"; exit 1; }
done
grep -q '^ *ShowKifu *REG_DWORD *0x1$' <<<"$values" || { echo "ShowKifu should stay 1"; exit 1; }
