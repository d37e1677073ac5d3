# Sourced by the scripts that run the game on a (virtual) display: a Wine desktop window gives
# its windows frames without a window manager. Needs WINEPREFIX set and wine-prefix.sh sourced.

# start_on_desktop PROGRAM.exe [SECONDS]: starts the program in its own folder, as a double
# click in Explorer would, and returns once its process runs (or after SECONDS, default 60).
start_on_desktop() {
    local program=$1 wait=${2:-60} i
    (cd "$(dirname "$program")" && exec wine explorer "/desktop=Tavik,1024x768" "$(basename "$program")") &
    desktop_runner=$!
    for ((i = 0; i < wait * 2; i++)); do
        pgrep -f "$(basename "$program")" >/dev/null && return 0
        sleep 0.5
    done
}

# close_on_desktop PROGRAM.exe: Alt+F4 to the active window, the main one (the record window
# hands the focus back to it), so it closes as by its close box and saves its settings; then
# waits until the program and Wine have ended.
close_on_desktop() {
    local program=$1 i
    xdotool mousemove 300 300 key alt+F4 || true
    for ((i = 0; i < 40; i++)); do
        pgrep -f "$(basename "$program")" >/dev/null || break
        sleep 0.5
    done
    wineserver -k 2>/dev/null || true
    wait "$desktop_runner" 2>/dev/null || true
}
