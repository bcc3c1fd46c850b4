#!/usr/bin/env bash
# Installs every Debian package the build and the three test tiers need: the 32-bit Wine
# where this machine runs 32-bit programs, the 64-bit Wine everywhere (scripts/wine-arch.sh).
# Idempotent: does nothing when all of them are present. Needs root for the install.
# Anything it cannot provide stops it with one line that says what is missing and what to do.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "install-deps: $*" >&2; exit 1; }

native_pkgs=(cmake g++ googletest libgtest-dev make clang libclang-rt-14-dev)
cross_pkgs=(mingw-w64 wine wine64 fonts-wine xvfb openbox fonts-wqy-microhei imagemagick x11-utils locales xxd file)
arch=$(./scripts/wine-arch.sh)
if [ "$arch" = win32 ]; then cross_pkgs+=(wine32:i386); fi

missing=()
for p in "${native_pkgs[@]}" "${cross_pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    [ "$(id -u)" -eq 0 ] || fail "missing packages (${missing[*]}); run as root to install them"
    command -v apt-get >/dev/null || fail "missing packages (${missing[*]}) and no apt-get: install them by hand"
    echo "install-deps: installing ${missing[*]}"
    if [ "$arch" = win32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 ||
            fail "cannot add the i386 architecture for wine32; set KESTRINE_WINE64_ONLY=1 to use the 64-bit Wine only"
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/tmp/kestrine-apt.log 2>&1 ||
        fail "apt-get update failed (is Debian's package mirror reachable?); see /tmp/kestrine-apt.log"
    apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null >>/tmp/kestrine-apt.log 2>&1 ||
        fail "could not install ${missing[*]}; see /tmp/kestrine-apt.log"
fi
[ -x /usr/lib/wine/wine64 ] || fail "the 64-bit Wine loader /usr/lib/wine/wine64 is missing; install the wine64 package"

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
    [ "$(id -u)" -eq 0 ] || fail "locales ${wanted_locales[*]} missing; run as root to generate them"
    locale-gen >/dev/null || fail "locale-gen failed; generate ${wanted_locales[*]} by hand"
fi
echo "install-deps: all packages and locales present (Wine: $arch)"
