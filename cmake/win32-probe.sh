# Sourced by ./test and ./run. probe_win32 answers whether this machine can run 32-bit Windows
# programs, and sets win32_reason to a line that says why or why not. Some of our machines
# cannot: their kernel's 32-bit emulation is off ("32-bit emulation disabled" in dmesg), so
# every i386 program, Wine's 32-bit loader among them, fails with "Exec format error" (126).
# TAVIK_WIN32=no answers no on any machine, so the 64-bit path can be tried anywhere.
# Needs the i686 build's win_probe target built (cmake --build --preset windows --target
# win_probe). Any other failure of the probe is a fault, not an answer: it is shown, and the
# calling script stops.
probe_win32() {
    if [ "${TAVIK_WIN32:-}" = no ]; then
        win32_reason="TAVIK_WIN32=no chose the 64-bit tier"
        return 1
    fi
    local output status=0
    # Without Debian's 32-bit Wine the launcher falls back to wine64, which runs no 32-bit
    # program: the install step could not get the package (see its output).
    if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
        win32_reason="Wine's 32-bit half (wine32:i386) is not installed: the package archive did not offer it"
        return 1
    fi
    # Wine's 32-bit loader is itself an i386 program: where it cannot be executed, nothing
    # 32-bit can (the kernel says why).
    output=$(wine --version 2>&1) || status=$?
    if [ "$status" -eq 126 ]; then
        win32_reason="this machine cannot execute 32-bit programs (Wine's 32-bit loader: $(tail -n 1 <<<"$output" | sed 's/^.*: //'))"
        return 1
    fi
    status=0
    output=$(cmake/wine-run.sh build/windows/bin/win_probe.exe 2>&1) || status=$?
    if [ "$status" -ne 0 ]; then
        echo "Wine's 32-bit loader runs, but the 32-bit probe failed with status $status:" >&2
        echo "$output" >&2
        exit 1
    fi
    win32_reason="32-bit programs run here (a 32-bit probe ran under Wine)"
}
