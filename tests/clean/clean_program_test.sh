#!/usr/bin/env bash
# TavikClean.exe as a user meets it, under Wine, answering on its standard input: the exact
# console bytes, the exit status 0, and the registry key really deleted (once: a second "y"
# finds nothing left to delete).
# Usage: clean_program_test.sh WINE-RUNNER TavikClean.exe
# TAVIK_WINEPREFIX names a prefix of this test's own, so deleting the key disturbs no other test.
set -euo pipefail

runner=$1
program=$2
: "${TAVIK_WINEPREFIX:?names the Wine prefix of this test alone}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
header() {
    cp932 "レジストリのキー : 'HKEY_CURRENT_USER\\Software\\Halvorn\\Tavik'を削除します。"
    printf '\r\n'
    cp932 'よろしいですか？[Y/N]'
    printf '\r\n'
}
prompt() { printf '? '; }
too_many() { cp932 '入力データの個数が多すぎます'; printf '\n'; }
deleting() { cp932 '削除しています...'; printf '\r\n'; }
succeeded() { cp932 '削除に成功しました。'; printf '\r\n'; }
failed() { cp932 '削除に失敗しました。'; printf '\r\n'; }
closing() { cp932 '終了します。エンターキーを押してください。'; printf '\r\n? '; }

# expect NAME INPUT PIECES...: runs the program on INPUT (printf format) and compares its
# output with the header followed by the named pieces.
expect() {
    local name=$1 input=$2
    shift 2
    { header; for piece in "$@"; do "$piece"; done; } >"$work/expected"
    local status=0
    # A reader that loops at the end of the input would hang here; the timeout turns it into
    # a failure with a name.
    printf "$input" | timeout 120 "$runner" "$program" >"$work/output" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "FAIL $name: exit status $status"
        failures=$((failures + 1))
    elif ! cmp -s "$work/expected" "$work/output"; then
        echo "FAIL $name: output differs"
        echo "expected:"; od -An -c "$work/expected"
        echo "got:"; od -An -c "$work/output"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

# Wine's reg tool, from the half of Wine that runs the program.
settings() {
    (
        export WINEPREFIX=$TAVIK_WINEPREFIX
        source "$(dirname "$runner")/wine-prefix.sh"
        wine_setup "$(wine_arch_of "$program")"
        "$TAVIK_WINE" reg "$@" >/dev/null 2>&1
    )
}

# The first run also makes the prefix, which `wine reg` needs.
expect 'n leaves the key' 'n\r\n\r\n' prompt closing
settings add 'HKCU\Software\Halvorn\Tavik' /v BlackThinkPerfectDepth /t REG_DWORD /d 12 /f
settings add 'HKCU\Software\Halvorn\Tavik' /v BlackPlayerName /t REG_SZ /d Kuro /f
expect 'yes is asked again, then n' 'yes\r\nn\r\n\r\n' prompt prompt closing
if ! settings query 'HKCU\Software\Halvorn\Tavik'; then
    echo "FAIL the key is gone though nobody said y"
    failures=$((failures + 1))
fi
expect 'y,n has too many items' 'y,n\r\nN\r\n\r\n' prompt too_many prompt closing
expect 'y deletes the key' 'y\r\n\r\n' prompt deleting succeeded closing
if settings query 'HKCU\Software\Halvorn\Tavik'; then
    echo "FAIL the key is still there after y"
    failures=$((failures + 1))
fi
expect 'y again finds nothing to delete' 'Y\n\n' prompt deleting failed closing
expect 'end of input is no' '' prompt closing

echo "$failures failed"
[ "$failures" -eq 0 ]
