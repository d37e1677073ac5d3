#!/usr/bin/env bash
# The exported record and the manual in a real browser: a game with Japanese player names made
# with tavik-cli and exported through the HTML template, then both pages loaded by headless
# Chromium from their files. The decoded pages must hold the Japanese texts without a single
# replacement character (U+FFFD, the sign of a wrong code page), and the move table its 64
# cells. Screenshots of both pages are left in the work folder to be looked at.
# Usage: export_in_chromium.sh TAVIK-CLI PROJECT_DIR WORK_DIR
set -euo pipefail
cli=$1 project=$2 work=$3
rm -rf "$work"
mkdir -p "$work"

cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
"$cli" game make f5d6c3d3c4f4f6f3e6e7 "$work/game.tvk" --black "$(cp932 山田太郎)" --white "$(cp932 花子)" >/dev/null
"$cli" game export "$work/game.tvk" "$work/record.html" --program-dir "$project" >/dev/null

# As root, Chromium needs --no-sandbox; the other flags keep it off the network it cannot reach.
browse() {
    chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile" "$@" 2>/dev/null
}

failures=0
check() {  # check NAME PAGE TEXTS...: the page's DOM holds every text and no U+FFFD
    local name=$1 page=$2
    shift 2
    browse --dump-dom "file://$page" >"$work/$name.dom"
    if grep -q $'\xef\xbf\xbd' "$work/$name.dom"; then
        echo "FAIL $name: a replacement character in the decoded page"
        failures=$((failures + 1))
    fi
    for text in "$@"; do
        if ! grep -qF "$text" "$work/$name.dom"; then
            echo "FAIL $name: '$text' is not in the page"
            failures=$((failures + 1))
        fi
    done
    browse --screenshot="$work/$name.png" --window-size=1000,1300 "file://$page" >/dev/null
    echo "ok   $name: $(wc -c <"$work/$name.dom") bytes of DOM, screenshot $work/$name.png"
}

check record "$work/record.html" 山田太郎 花子 棋譜 着手順 F5D6C3D3C4F4F6F3E6E7
check manual "$project/manual/manual.html" 説明書 対局 棋譜

# The move-order table: eight rows of eight cells between the row digits.
cells=$(python3 - "$work/record.dom" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
rows = re.findall(r"^([1-8]) \|((?:..\|){8}) \1$", text, re.M)
print(sum(len(cells.split("|")) - 1 for _, cells in rows))
PY
)
if [ "$cells" != 64 ]; then
    echo "FAIL record: the move table has $cells cells, not 64"
    failures=$((failures + 1))
else
    echo "ok   record: the move table has 64 cells"
fi
[ "$failures" -eq 0 ]
