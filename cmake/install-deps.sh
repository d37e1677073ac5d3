#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and nothing when all are present.
# Works as root or through sudo, and without a terminal (CI).
set -euo pipefail

native=(g++ cmake make googletest libgtest-dev libbenchmark-dev clang-14 libclang-rt-14-dev clang-format-14 chromium grhino)
# fonts-wine holds Wine's Marlett, which draws the caption buttons; libwine only recommends it, and
# recommendations are not installed here. x11-utils: xmessage, another program on the display
# in the end-to-end test. xclip: a transcript put on the display's clipboard from outside.
windows=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 fonts-wine xvfb xauth
         locales fonts-ipafont-gothic imagemagick xdotool xclip x11-utils python3 procps)

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${native[@]}" "${windows[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${SUDO[@]}" dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync fails one index now and then ("File has unexpected
    # size"); try again, and go on with the lists that did arrive rather than stop the build.
    for attempt in 1 2 3; do
        "${SUDO[@]}" apt-get update -q && break
        echo "apt-get update failed (attempt $attempt of 3)" >&2
        [ "$attempt" -eq 3 ] || sleep $((attempt * 10))
    done
    if ! "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        # Wine's 32-bit half must match the 64-bit libraries version for version; while the
        # archive's i386 lists lag behind (a mirror in sync), it cannot be installed at all.
        # Everything else still is, and the 32-bit tier is then checked without running it
        # (cmake/win32-probe.sh says so on the last line of ./test).
        rest=()
        for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
        [ ${#rest[@]} -lt ${#missing[@]} ] || exit 1
        echo "wine32:i386 cannot be installed from the archive now; installing the rest" >&2
        "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${rest[@]}"
    fi
fi

# Wine runs the tests with LANG=ja_JP.UTF-8 so that its ANSI code page is 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    "${SUDO[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${SUDO[@]}" tee -a /etc/locale.gen >/dev/null
    "${SUDO[@]}" locale-gen >/dev/null
fi
