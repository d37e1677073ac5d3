#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a throwaway prefix inside the build tree,
# with LANG=ja_JP.UTF-8 so the prefix's ANSI code page is 932. The prefix is made on first use.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]   (TAVIK_WINEPREFIX overrides the prefix folder)
set -euo pipefail

program=$1
shift
build=$(cd "$(dirname "$program")/.." && pwd)
export WINEPREFIX=${TAVIK_WINEPREFIX:-$build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# One prefix per build tree; tests may start in parallel, so the first one makes it under a lock.
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tavik-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    # The user interface asks for "ＭＳ Ｐゴシック"; point it at the installed Japanese P-gothic.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'ＭＳ Ｐゴシック' /t REG_SZ /d 'IPAPGothic' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tavik-ready"
fi
flock -u 9

exec wine "$program" "$@"
