# Sourced by the end-to-end scripts that play the game on the display. begin_e2e DIST_DIR
# WORK_DIR makes the work folder and a fresh Wine prefix in it, starts the dist folder's
# Tavik.exe on a Wine desktop, waits until its board is drawn, and sets `dist`, `work`, `here`
# and the board's top-left corner on the screen, `x0` and `y0`. Wine is ended on exit.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/cmake/wine-prefix.sh"
source "$root/cmake/wine-desktop.sh"

begin_e2e() {
    dist=$1 work=$2
    rm -rf "$work"
    mkdir -p "$work"
    export WINEPREFIX=$work/wineprefix
    wine_setup "$(wine_arch_of "$dist/Tavik.exe")"
    trap 'wineserver -k 2>/dev/null || true' EXIT
    start_on_desktop "$dist/Tavik.exe"
    wait_for 60 "the board to be drawn" board_on_screen "$work/start.png" >"$work/board.txt"
    read -r x0 y0 _ <"$work/board.txt"
    echo "board at $x0,$y0"
}
