#!/usr/bin/env bash
# The Wine prefix rules of cmake/wine-prefix.sh, through cmake/wine-run.sh as ./run and the
# tests reach them, with a stand-in for Wine on PATH (no Wine runs): a folder the scripts did
# not make is refused with a message and left exactly as it was, whatever it holds; an absent
# or empty folder is made; a prefix whose making broke off is made again; a finished one is
# used as it is. Each prefix gets Wine's Marlett font in its C:\windows\Fonts, which Wine
# needs to draw the caption buttons and does not find where Debian's fonts-wine puts it.
# Usage: wine_prefix_test.sh WORK_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
rm -rf "$work"
mkdir -p "$work/bin"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The stand-in: the 32-bit `wine` and `wineserver`, which log their arguments. Its wineboot
# makes a small prefix, or fails its first FAKE_WINEBOOT_FAILS times, as a wineboot cut short
# does (leaving a half-made prefix behind).
cat >"$work/bin/wine" <<'WINE'
#!/usr/bin/env bash
echo "wine $*" >>"$FAKE_WINE_LOG"
if [ "$1" = wineboot ]; then
    if [ "$(grep -c '^wine wineboot' "$FAKE_WINE_LOG")" -le "${FAKE_WINEBOOT_FAILS:-0}" ]; then
        mkdir -p "$WINEPREFIX" && echo half >"$WINEPREFIX/half-made"
        exit 1
    fi
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" && echo made >"$WINEPREFIX/system.reg"
fi
WINE
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"
export PATH=$work/bin:$PATH FAKE_WINE_LOG=$work/wine.log

# A 32-bit Windows program as far as wine_arch_of reads one: MZ, the PE header at 64, i386.
program=$work/build/bin/program.exe
mkdir -p "$(dirname "$program")"
{ printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00'; printf 'PE\x00\x00\x4c\x01'; } >"$program"

# run_in PREFIX: wine-run.sh with TAVIK_WINEPREFIX=PREFIX; its output in $work/out, status in run_status.
run_in() {
    : >"$FAKE_WINE_LOG"
    run_status=0
    TAVIK_WINEPREFIX=$1 "$root/cmake/wine-run.sh" "$program" >"$work/out" 2>&1 || run_status=$?
}
# listing FOLDER: every name in the folder with its type, size and content checksum.
listing() { (cd "$1" && find . -printf '%p %y %s\n' | sort && find . -type f -exec md5sum {} + | sort); }
marlett=/usr/share/wine/fonts/marlett.ttf
[ -f "$marlett" ] || { echo "$marlett is missing: install fonts-wine (cmake/install-deps.sh)"; exit 1; }
has_marlett() { cmp -s "$marlett" "$1/drive_c/windows/Fonts/marlett.ttf"; }
made() { [ -f "$1/.tavik-ready" ] && [ -f "$1/system.reg" ]; }
ran_program() { grep -qx "wine $program" "$FAKE_WINE_LOG"; }

# A user's own Wine prefix (as ~/.wine looks), and a folder of anything else.
for foreign in wine-home documents; do
    dir=$work/$foreign
    mkdir -p "$dir/drive_c/users" "$dir/sub"
    echo keep >"$dir/notes.txt"
    echo '[Software\\Wine]' >"$dir/system.reg"
    [ "$foreign" = documents ] && rm -r "$dir/drive_c" "$dir/system.reg"
    before=$(listing "$dir")
    run_in "$dir"
    [ "$run_status" -ne 0 ] || fail "$foreign: wine-run.sh accepted a folder it did not make"
    [ "$(listing "$dir")" = "$before" ] || fail "$foreign: the folder was changed"
    [ ! -s "$FAKE_WINE_LOG" ] || fail "$foreign: Wine ran in it: $(cat "$FAKE_WINE_LOG")"
    [ ! -e "$dir.lock" ] || fail "$foreign: a lock file was left beside it"
    grep -q "$dir is not a Wine prefix made by Tavik's scripts" "$work/out" &&
        grep -q 'left untouched' "$work/out" || fail "$foreign: no clear message; said: $(cat "$work/out")"
done

# A file where the prefix should be.
echo data >"$work/a-file"
run_in "$work/a-file"
[ "$run_status" -ne 0 ] && [ "$(cat "$work/a-file")" = data ] || fail "a file as the prefix was not refused"

# Absent: made, and the program runs in it.
run_in "$work/fresh"
[ "$run_status" -eq 0 ] && made "$work/fresh" && ran_program || fail "absent: not made and run ($(cat "$work/out"))"
has_marlett "$work/fresh" || fail "a new prefix has no Marlett font"

# An empty folder: made in place.
mkdir "$work/empty"
run_in "$work/empty"
[ "$run_status" -eq 0 ] && made "$work/empty" || fail "empty: not made ($(cat "$work/out"))"

# Made and finished: used as it is, without wineboot.
echo mine >"$work/fresh/settings"
run_in "$work/fresh"
[ "$run_status" -eq 0 ] && [ -f "$work/fresh/settings" ] && ran_program &&
    ! grep -q wineboot "$FAKE_WINE_LOG" || fail "ready: not used as it was"

# A prefix of the scripts before the .tavik-made marker existed: .tavik-ready alone, and no
# Marlett. It is used as it is, and gets the font.
mkdir -p "$work/older/drive_c/windows/Fonts" && touch "$work/older/.tavik-ready" "$work/older/settings"
run_in "$work/older"
[ "$run_status" -eq 0 ] && [ -f "$work/older/settings" ] && ! grep -q wineboot "$FAKE_WINE_LOG" ||
    fail "an older prefix of the scripts was not used as it was"
has_marlett "$work/older" || fail "an older prefix did not get the Marlett font"

# Wine dies once in its first start: the half-made prefix is emptied and made at the next try.
FAKE_WINEBOOT_FAILS=1 run_in "$work/retried"
[ "$run_status" -eq 0 ] && made "$work/retried" && [ ! -e "$work/retried/half-made" ] && ran_program ||
    fail "a prefix whose first wineboot failed was not made at the second ($(cat "$work/out"))"

# Its making breaks off at every try: a message and a failure, and the next run makes it
# again from nothing.
FAKE_WINEBOOT_FAILS=3 run_in "$work/broken"
[ "$run_status" -ne 0 ] && ! made "$work/broken" && ! ran_program || fail "a failed wineboot passed"
grep -q 'could not make the prefix' "$work/out" || fail "a failed wineboot said nothing: $(cat "$work/out")"
mkdir -p "$work/broken" && echo leftover >"$work/broken/half-made"
run_in "$work/broken"
[ "$run_status" -eq 0 ] && made "$work/broken" && [ ! -e "$work/broken/half-made" ] ||
    fail "a broken prefix of ours was not made again ($(cat "$work/out"))"

if [ "$failures" -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "all prefix rules hold"
