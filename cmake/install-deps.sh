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
    "${SUDO[@]}" apt-get update -q
    "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine runs the tests with LANG=ja_JP.UTF-8 so that its ANSI code page is 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    "${SUDO[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${SUDO[@]}" tee -a /etc/locale.gen >/dev/null
    "${SUDO[@]}" locale-gen >/dev/null
fi
