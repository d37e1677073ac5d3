# Sourced by the end-to-end scripts that play the game on the display. begin_e2e DIST_DIR
# WORK_DIR [ARGUMENT...] makes the work folder and a fresh Wine prefix in it, runs the script's
# before_start if it has one (which may add to `arguments`, the game's command line), starts
# the dist folder's Tavik.exe on a Wine desktop, waits until its board is
# drawn, and sets `dist`, `work`, `here` and the board's top-left corner on the screen, `x0` and
# `y0`. Wine is ended on exit.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/cmake/wine-prefix.sh"
source "$root/cmake/wine-desktop.sh"

begin_e2e() {
    dist=$1 work=$2
    arguments=("${@:3}")
    rm -rf "$work"
    mkdir -p "$work"
    export WINEPREFIX=$work/wineprefix
    wine_setup "$(wine_arch_of "$dist/Tavik.exe")"
    # A script may prepare the prefix (the registry, say) before the game first starts.
    if declare -F before_start >/dev/null; then before_start; fi
    trap 'wineserver -k 2>/dev/null || true' EXIT
    start_on_desktop "$dist/Tavik.exe" 60 "${arguments[@]}"
    wait_for 60 "the board to be drawn" board_on_screen "$work/start.png" >"$work/board.txt"
    read -r x0 y0 _ <"$work/board.txt"
    echo "board at $x0,$y0"
}

# The middle of square (column, row), both from 0, on the screen.
square() { echo $((x0 + $1 * 50 + 25)) $((y0 + $2 * 50 + 25)); }

# The 64 squares as the screen shows them now (X, O or -, A1..H1 first), into `diagram`.
look() {
    local found
    found=$(board_on_screen "$work/look.png") || return 1
    diagram=${found#* * }
}

# A click on A1 gives the window the focus (no game runs yet, and A1 is no move later), Space
# starts the game, and a click on F5 plays it. Each step is harmless when repeated, so they are
# repeated until F5 shows black: the first click may arrive before the window takes input. Then
# the computer answers: three stones of each colour.
play_f5_and_the_reply() {
    f5_played() {
        xdotool mousemove $(square 0 0) click 1 key space mousemove $(square 5 4) click 1
        look && [ "${diagram:37:1}" = X ]
    }
    wait_for 30 "F5 to be played (focus, Space, click)" f5_played
    replied() {
        look && [ "$(tr -cd X <<<"$diagram" | wc -c)" -eq 3 ] && [ "$(tr -cd O <<<"$diagram" | wc -c)" -eq 3 ]
    }
    wait_for 30 "the computer's reply (three stones of each colour)" replied
}

# Presses KEYS and waits until the screen differs from what it was before: a window opened.
keys_open_window() {
    local what=$1
    shift
    import -window root "$work/before.png"
    xdotool key "$@"
    changed() {
        import -window root "$work/after.png"
        ! compare -metric AE "$work/before.png" "$work/after.png" null: 2>/dev/null
    }
    wait_for 20 "$what" changed
}
