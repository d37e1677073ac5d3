#!/usr/bin/env bash
# Runs the bench natively and in each Windows build under Wine, one after the other, and prints
# how many times slower each Windows engine is in each mode (engine nodes per second over all
# bench positions), and whether its signature (the total node count) is the native one. The
# 32-bit build is left out where this machine cannot run 32-bit programs. The builds must
# exist: ./test makes them.
set -euo pipefail
cd "$(dirname "$0")/.."
source cmake/win32-probe.sh

native=$(build/native/bin/tavik-cli bench)
# the speed-up lines and the analysis line, from the header of the speed-up table on
speedups() { sed -n '/1 thread .*2 threads/,$p' <<<"$1"; }
echo "== native"; speedups "$native"
signature() { sed -n 's/^Nodes searched *: *//p' <<<"$1"; }

for build in windows windows64; do
    if [ "$build" = windows ] && ! probe_win32; then
        echo "== $build: not run, $win32_reason"
        continue
    fi
    windows=$(cmake/wine-run.sh "build/$build/bin/tavik-cli.exe" bench | tr -d '\r')
    echo "== $build"; speedups "$windows"
    echo
    echo "mode     native nodes/s  $build nodes/s  native/$build"
    for mode in normal winloss perfect; do
        # the first line led by the mode is its nodes/s row (the speed-up table comes later)
        n=$(echo "$native" | awk -v m="$mode" '$1 == m { print $2 }' | head -n 1)
        w=$(echo "$windows" | awk -v m="$mode" '$1 == m { print $2 }' | head -n 1)
        awk -v m="$mode" -v n="$n" -v w="$w" 'BEGIN { printf "%-8s %14d %16d %14.2fx\n", m, n, w, n / w }'
    done
    if [ "$(signature "$windows")" = "$(signature "$native")" ]; then
        echo "signature $(signature "$windows"): the same as native"
    else
        echo "signature $(signature "$windows") differs from native $(signature "$native")"
        exit 1
    fi
done
