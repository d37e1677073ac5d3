# Sourced by the scripts that run the game on a (virtual) display: a Wine desktop window gives
# its windows frames without a window manager. Needs WINEPREFIX set and wine_setup (from
# wine-prefix.sh) done. Every wait here is for a condition, with a deadline and a message.

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every half second until it succeeds; after
# SECONDS, says what it was waiting for and fails.
wait_for() {
    local seconds=$1 what=$2 deadline
    shift 2
    deadline=$((SECONDS + seconds))
    until "$@"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "timed out after $seconds s waiting for $what" >&2
            return 1
        fi
        sleep 0.5
    done
}

# running NAME: a process of exactly that name runs. Wine names a program's process after its
# file; matching whole command lines instead would also find the scripts that mention it.
running() { pgrep -x "$1" >/dev/null; }
stopped() { ! running "$1"; }

# start_on_desktop PROGRAM.exe [SECONDS]: starts the program in its own folder, as a double
# click in Explorer would, and returns once its process runs (fails after SECONDS, default 60).
start_on_desktop() {
    local program=$1 wait=${2:-60} name
    name=$(basename "$program")
    if running "$name"; then
        echo "$name is already running; close it first" >&2
        return 1
    fi
    (cd "$(dirname "$program")" && exec "$TAVIK_WINE" explorer "/desktop=Tavik,1024x768" "$name") &
    desktop_runner=$!
    wait_for "$wait" "$name to start" running "$name"
}

# close_on_desktop PROGRAM.exe: Alt+F4 to the active window, the main one (the record window
# hands the focus back to it), so it closes as by its close box and saves its settings; then
# waits until the program has ended (fails after 20 s) and ends Wine.
close_on_desktop() {
    local name status=0
    name=$(basename "$1")
    xdotool mousemove 300 300 key alt+F4 || true
    wait_for 20 "$name to close after Alt+F4" stopped "$name" || status=1
    wineserver -k 2>/dev/null || true
    wait "$desktop_runner" 2>/dev/null || true
    return $status
}

# board_on_screen SCREENSHOT.png: takes a screenshot and finds the game's board in it; prints
# the board's corner and its 64 squares (see tests/e2e/find_board.py), and nothing when there
# is no board yet.
board_on_screen() {
    local found
    import -window root "$1" && found=$(python3 "$tavik_root/tests/e2e/find_board.py" "$1" --diagram) &&
        echo "$found"
}
tavik_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
