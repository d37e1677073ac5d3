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

# The program's own process, and no other of the same name (the machine may run other copies
# of the game, in other prefixes or for other users), is told apart by a token in its
# environment. The process started here is not the program: Wine runs explorer through
# start.exe, explorer starts the program, and Wine forks twice on each start, so the program is
# no child of this shell. But a Windows program inherits the environment of its starter, and
# Wine hands it on to the program's Unix process, where /proc shows it.

# process_with_token NAME TOKEN: prints the id of the process named NAME (as Wine names a
# program's process after its file) whose environment holds TAVIK_RUN_TOKEN=TOKEN.
process_with_token() {
    local pid
    for pid in $(pgrep -x "$1"); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "TAVIK_RUN_TOKEN=$2"; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# ended PID NAME: process PID named NAME has ended. A zombie has ended too: the program is no
# child of ours, and the first process of a container may be slow to reap it. Another name
# under the same id is a new process that took the number over. (The kernel keeps 15
# characters of a name, as pgrep matches them: enough for our programs.)
ended() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    case $stat in
        "$1 ($2) Z "*) return 0 ;;
        "$1 ($2) "*) return 1 ;;
        *) return 0 ;;
    esac
}

# start_on_desktop PROGRAM.exe [SECONDS [ARGUMENT...]]: starts the program in its own folder, as
# a double click in Explorer would (with the ARGUMENTs on its command line, as "Open with" adds
# a file's path), and returns once its process runs (fails after SECONDS, default 60); game_pid
# is then that process.
start_on_desktop() {
    local program=$1 wait=${2:-60} name token
    shift $(($# < 2 ? $# : 2))
    name=$(basename "$program")
    token=$(cat /proc/sys/kernel/random/uuid)
    (cd "$(dirname "$program")" &&
        TAVIK_RUN_TOKEN=$token exec "$TAVIK_WINE" explorer "/desktop=Tavik,1024x768" "$name" "$@") &
    desktop_runner=$!
    started() { game_pid=$(process_with_token "$name" "$token"); }
    wait_for "$wait" "$name to start" started
}

# close_on_desktop PROGRAM.exe: Alt+F4 to the program that start_on_desktop started, so it
# closes as by its close box and saves its settings; then waits until that process has ended
# (fails after 20 s), and ends Wine. Wine writes a window's process id into _NET_WM_PID, so the
# program's own X windows are found; a key sent to any of them goes to the window that has the
# focus inside the program (the main one: the record window hands the focus back to it), and
# to no other program, whichever window is active on the display.
close_on_desktop() {
    local name window status=0
    name=$(basename "$1")
    window=$(xdotool search --all --onlyvisible --pid "$game_pid" 2>/dev/null | head -n 1)
    if [ -z "$window" ]; then
        echo "$name (process $game_pid) has no window to close" >&2
        status=1
    else
        # The window is gone before the key's release reaches it: xdotool's complaint is no fault.
        xdotool key --window "$window" alt+F4 2>/dev/null || true
        wait_for 20 "$name (process $game_pid) to close after Alt+F4" ended "$game_pid" "$name" || status=1
    fi
    # Wine's server writes the prefix's registry as it exits: wait for that, so the settings are
    # on disk, and the prefix is still, once this returns.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
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
