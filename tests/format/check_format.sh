#!/usr/bin/env bash
# Every C and C++ source of the tree follows .clang-format: clang-format would change nothing.
# The files are those git knows (tracked, or new and not ignored), so build trees never count;
# the generated tables (*.inc) keep the layout of their generators.
# Usage: check_format.sh SOURCE_DIR   (exit 0, or 1 with the files to format and how)
set -euo pipefail
cd "$1"
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
    echo "clang-format is not installed (Debian package clang-format-14)"
    exit 1
fi
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.c')
bad=()
for file in "${files[@]}"; do
    [ -f "$file" ] || continue
    "$format" --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if [ "${#bad[@]}" -ne 0 ]; then
    printf 'not formatted: %s\n' "${bad[@]}"
    echo "${#bad[@]} of ${#files[@]} files differ from .clang-format; run: $format -i FILE..."
    exit 1
fi
echo "${#files[@]} files follow .clang-format"
