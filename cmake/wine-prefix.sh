# Sourced by the scripts that run Windows programs. Defines:
#   wine_arch_of PROGRAM   prints win32 or win64, read from the program's PE header;
#   wine_setup ARCH        sets up Wine's environment for the prefix in WINEPREFIX (Japanese
#                          locale, so the ANSI code page is 932), makes the prefix on first use
#                          (under a lock, since tests may start in parallel), and sets TAVIK_WINE
#                          to the loader of the matching half of Wine; run programs, `reg` and
#                          `explorer` as "$TAVIK_WINE" ....
# A prefix has one architecture for good: keep 32-bit and 64-bit prefixes in different folders.

wine_arch_of() {
    local offset machine
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ')
    case $machine in
        014c) echo win32 ;;
        8664) echo win64 ;;
        *) echo "$1: not a Windows program for x86 (machine '$machine')" >&2; return 1 ;;
    esac
}

wine_setup() {
    export WINEARCH=$1
    case $1 in
        # Debian's `wine` script takes the 32-bit loader whenever it is installed, also where
        # the kernel cannot execute it, so the 64-bit half is named directly.
        win32) TAVIK_WINE=wine ;;
        win64) TAVIK_WINE=$(command -v /usr/lib/wine/wine64 wine64 | head -n 1) ;;
        *) echo "wine_setup: win32 or win64, not '$1'" >&2; return 1 ;;
    esac
    if [ -z "$TAVIK_WINE" ]; then
        echo "wine64 is not installed (Debian package wine64)" >&2
        return 1
    fi
    [ "$1" = win32 ] || export WINELOADER=$TAVIK_WINE
    export TAVIK_WINE
    export WINEDEBUG=${WINEDEBUG:--all}
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    # No Mono or Gecko installer prompts, and no debugger on a crash: Wine's debugger prints a
    # backtrace, but in a program with several threads it can hang over it for many minutes,
    # and a killed debugger let the crashed test pass. Without it a crash ends the program at
    # once with a failing status. For a backtrace, set WINEDLLOVERRIDES=mscoree,mshtml= by hand.
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}

    exec 9>"$WINEPREFIX.lock"
    flock 9
    if [ ! -f "$WINEPREFIX/.tavik-ready" ]; then
        rm -rf "$WINEPREFIX"
        "$TAVIK_WINE" wineboot --init >/dev/null 2>&1
        # The user interface asks for "ＭＳ Ｐゴシック"; point it at the installed Japanese P-gothic.
        "$TAVIK_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v 'ＭＳ Ｐゴシック' /t REG_SZ /d 'IPAPGothic' /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.tavik-ready"
    fi
    # TAVIK_WINE_DESKTOP=WxH (the window tests): every window of the prefix opens inside one
    # virtual desktop window. Without a window manager on the display, Wine otherwise waits two
    # seconds for one each time it hides a top-level window.
    if [ -n "${TAVIK_WINE_DESKTOP:-}" ] && [ ! -f "$WINEPREFIX/.tavik-desktop" ]; then
        "$TAVIK_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
        "$TAVIK_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ \
            /d "$TAVIK_WINE_DESKTOP" /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.tavik-desktop"
    fi
    flock -u 9
    exec 9>&-
}
