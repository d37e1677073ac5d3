#!/usr/bin/env bash
# End to end: the dist Tavik.exe started on the display in a fresh Wine prefix, its board found
# in a screenshot, the game closed by Alt+F4 as a person would, and its settings read back
# from the registry with Wine's own reg tool: all 19 values, written at exit.
# Usage: start_and_close.sh DIST_DIR WORK_DIR
set -euo pipefail
dist=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
export TAVIK_WINEPREFIX=$work/wineprefix

"$root/cmake/run-headless.sh" "$dist/Tavik.exe" "$work/screenshot.png"
python3 "$here/find_board.py" "$work/screenshot.png"

export WINEPREFIX=$TAVIK_WINEPREFIX WINEDEBUG=-all LANG=ja_JP.UTF-8
values=$(wine reg query 'HKCU\Software\Halvorn\Tavik' 2>/dev/null | tr -d '\r')
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
