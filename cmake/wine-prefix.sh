# Sourced by the scripts that run Windows programs. Defines:
#   wine_arch_of PROGRAM   prints win32 or win64, read from the program's PE header;
#   wine_setup ARCH        sets up Wine's environment for the prefix in WINEPREFIX (Japanese
#                          locale, so the ANSI code page is 932), makes the prefix on first use
#                          (under a lock, since tests may start in parallel), and sets TAVIK_WINE
#                          to the loader of the matching half of Wine; run programs, `reg` and
#                          `explorer` as "$TAVIK_WINE" ....
# A prefix has one architecture for good: keep 32-bit and 64-bit prefixes in different folders.
#
# WINEPREFIX may name a folder of the user's (TAVIK_WINEPREFIX), so these scripts only ever
# delete what they can show they made. Two markers say so: .tavik-made is written into the
# folder, absent or empty until then, before Wine fills it, and .tavik-ready once the prefix is
# complete. A folder with .tavik-made but without .tavik-ready is ours and broken (its making
# was cut short): it is emptied and made again. A folder with neither marker that holds
# anything is not ours, whatever it looks like: it is refused and left as it is.

wine_arch_of() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/pe_image.py" wine-arch "$1"
}

# wine_prefix_state: absent, empty, ready (made here and complete), broken (made here, never
# completed) or foreign (anything else) for the folder WINEPREFIX. The prefixes of earlier
# versions of these scripts have .tavik-ready alone and count as ready.
wine_prefix_state() {
    if [ ! -e "$WINEPREFIX" ] && [ ! -L "$WINEPREFIX" ]; then
        echo absent
    elif [ ! -d "$WINEPREFIX" ]; then
        echo foreign
    elif [ -f "$WINEPREFIX/.tavik-ready" ]; then
        echo ready
    elif [ -f "$WINEPREFIX/.tavik-made" ]; then
        echo broken
    elif [ -z "$(ls -A "$WINEPREFIX")" ]; then
        echo empty
    else
        echo foreign
    fi
}

wine_refuse_foreign_prefix() {
    cat >&2 <<MESSAGE
$WINEPREFIX is not a Wine prefix made by Tavik's scripts (it has no .tavik-made marker
and is not empty), so it is left untouched. Name a new or empty folder in TAVIK_WINEPREFIX,
or leave TAVIK_WINEPREFIX unset for Tavik's own prefix.
MESSAGE
}

# Wine draws the caption buttons (minimise, maximise, close) as the letters 0, 1 and r of the
# Marlett font; without the font they show as those letters. Debian's fonts-wine puts Marlett
# in Wine's data folder, but Wine 8.0 as Debian builds it looks for its own fonts in
# "<data folder>\../fonts", a name that never exists (seen with WINEDEBUG=+file), so it never
# finds them there. It does read every font in the prefix's C:\windows\Fonts: the font goes
# there. Prefixes made before this step get it on their next use.
wine_fonts=/usr/share/wine/fonts
wine_install_caption_font() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    [ -f "$fonts/marlett.ttf" ] && return 0
    if [ ! -f "$wine_fonts/marlett.ttf" ]; then
        echo "warning: $wine_fonts/marlett.ttf is missing (Debian package fonts-wine):" \
             "window caption buttons will show the letters 0 1 r" >&2
        return 0
    fi
    mkdir -p "$fonts" && cp "$wine_fonts/marlett.ttf" "$fonts/marlett.ttf"
}

# wine_make_prefix: makes the prefix in the folder WINEPREFIX, absent or empty. Called under
# the lock. Every step is checked here, since callers test the result with || and set -e does
# not reach inside. Wine's first start in a new prefix now and then dies within milliseconds
# (seen once in CI, in 0.03 s, on a run where every other prefix was made), so a failed attempt
# is emptied and tried again; Wine's own output of the last attempt is shown when all fail.
wine_make_prefix() {
    local attempt log=$WINEPREFIX.log
    for attempt in 1 2 3; do
        if [ "$attempt" -gt 1 ]; then
            wineserver -k >/dev/null 2>&1 || true
            wine_empty_prefix
            sleep 1
        fi
        mkdir -p "$WINEPREFIX" && touch "$WINEPREFIX/.tavik-made" || return 1
        # The user interface asks for "ＭＳ Ｐゴシック"; point it at the installed Japanese P-gothic.
        if { "$TAVIK_WINE" wineboot --init &&
             "$TAVIK_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
                 /v 'ＭＳ Ｐゴシック' /t REG_SZ /d 'IPAPGothic' /f &&
             wineserver -w; } >"$log" 2>&1; then
            rm -f "$log"
            wine_install_caption_font && touch "$WINEPREFIX/.tavik-ready"
            return
        fi
        echo "Wine could not make the prefix $WINEPREFIX (attempt $attempt of 3)" >&2
    done
    echo "Wine's output of the last attempt:" >&2
    tail -n 20 "$log" >&2
    echo "The next run makes the prefix again." >&2
    return 1
}

# wine_empty_prefix: empties a broken prefix of ours, keeping the folder itself, which may
# have been the user's (empty) folder before the scripts filled it.
wine_empty_prefix() {
    find "$WINEPREFIX/" -mindepth 1 -maxdepth 1 -exec rm -rf -- {} +
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

    # A foreign folder is refused before anything is written, not even the lock beside it.
    if [ "$(wine_prefix_state)" = foreign ]; then
        wine_refuse_foreign_prefix
        return 1
    fi
    exec 9>"$WINEPREFIX.lock"
    flock 9
    local status=0
    case $(wine_prefix_state) in
        ready) wine_install_caption_font || status=$? ;;
        absent | empty) wine_make_prefix || status=$? ;;
        broken) wine_empty_prefix && wine_make_prefix || status=$? ;;
        *) wine_refuse_foreign_prefix; status=1 ;;
    esac
    # TAVIK_WINE_DESKTOP=WxH (the window tests): every window of the prefix opens inside one
    # virtual desktop window. Without a window manager on the display, Wine otherwise waits two
    # seconds for one each time it hides a top-level window.
    if [ "$status" -eq 0 ] && [ -n "${TAVIK_WINE_DESKTOP:-}" ] && [ ! -f "$WINEPREFIX/.tavik-desktop" ]; then
        "$TAVIK_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
        "$TAVIK_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ \
            /d "$TAVIK_WINE_DESKTOP" /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.tavik-desktop"
    fi
    flock -u 9
    exec 9>&-
    return "$status"
}
