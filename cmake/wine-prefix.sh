# Sourced by the scripts that run Windows programs: sets up Wine's environment for the prefix
# in WINEPREFIX (Japanese locale, so the ANSI code page is 932) and makes the prefix on first
# use, under a lock, since tests may start in parallel.
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

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
exec 9>&-
