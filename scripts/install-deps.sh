#!/usr/bin/env bash
# Installs every Debian package the build and the three test tiers need.
# Idempotent: does nothing when all of them are present. Needs root for the install.
set -euo pipefail

native_pkgs=(cmake g++ googletest libgtest-dev make)
cross_pkgs=(mingw-w64 wine wine32:i386 fonts-wine xvfb openbox fonts-wqy-microhei imagemagick x11-utils locales xxd)

missing=()
for p in "${native_pkgs[@]}" "${cross_pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "install-deps: missing packages (${missing[*]}); run as root to install them" >&2
        exit 1
    fi
    echo "install-deps: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

# Locales the Wine tests run under; CreateFileA with a GBK file name fails without them.
wanted_locales=(zh_CN.UTF-8 zh_TW.UTF-8 ja_JP.UTF-8 ko_KR.UTF-8 en_US.UTF-8)
need_gen=0
for l in "${wanted_locales[@]}"; do
    norm=$(echo "$l" | sed 's/UTF-8/utf8/')
    if ! locale -a 2>/dev/null | grep -qix "$norm"; then
        if [ "$(id -u)" -eq 0 ] && ! grep -q "^$l UTF-8" /etc/locale.gen; then
            echo "$l UTF-8" >> /etc/locale.gen
        fi
        need_gen=1
    fi
done
if [ "$need_gen" -eq 1 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "install-deps: locales missing; run as root to generate them" >&2
        exit 1
    fi
    locale-gen >/dev/null
fi
echo "install-deps: all packages and locales present"
