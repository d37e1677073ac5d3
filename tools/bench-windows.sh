#!/usr/bin/env bash
# Runs the bench natively and the 32-bit Windows build under Wine, one after the other, and
# prints how many times slower the 32-bit engine is in each mode (engine nodes per second over
# all bench positions). Both builds must exist: ./test makes them.
set -euo pipefail
cd "$(dirname "$0")/.."

native=$(build/native/bin/tavik-cli bench)
windows=$(cmake/wine-run.sh build/windows/bin/tavik-cli.exe bench | tr -d '\r')

echo "== native";  echo "$native" | tail -n 5
echo "== windows"; echo "$windows" | tail -n 5
echo
echo "mode     native nodes/s  windows nodes/s  native/windows"
for mode in normal winloss perfect; do
    n=$(echo "$native" | awk -v m="$mode" '$1 == m { print $2 }' | tail -n 1)
    w=$(echo "$windows" | awk -v m="$mode" '$1 == m { print $2 }' | tail -n 1)
    awk -v m="$mode" -v n="$n" -v w="$w" 'BEGIN { printf "%-8s %14d %16d %14.2fx\n", m, n, w, n / w }'
done
