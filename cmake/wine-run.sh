#!/usr/bin/env bash
# Runs a Windows program of the build under the half of Wine its machine type needs (32-bit or
# 64-bit), in a throwaway prefix inside the build tree, with LANG=ja_JP.UTF-8 so the prefix's
# ANSI code page is 932. The prefix is made on first use.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
# TAVIK_WINEPREFIX names another prefix folder: absent, empty, or made by these scripts; any
# other folder is refused and left untouched (see wine-prefix.sh).
set -euo pipefail

program=$1
shift
build=$(cd "$(dirname "$program")/.." && pwd)
export WINEPREFIX=${TAVIK_WINEPREFIX:-$build/wineprefix}
source "$(dirname "$0")/wine-prefix.sh"
wine_setup "$(wine_arch_of "$program")"

exec "$TAVIK_WINE" "$program" "$@"
