#!/usr/bin/env bash
# Prints which Wine this machine runs the tests and the demo on: "win32" where its kernel runs
# 32-bit programs (the 32-bit Wine, with the i686 build), "win64" where it runs 64-bit programs
# only (some kernels lack IA-32 emulation; every 32-bit program fails with "Exec format error")
# or where KESTRINE_WINE64_ONLY=1 asks for the 64-bit path. The test is a 96-byte 32-bit
# program that only exits with status 7.
set -uo pipefail
if [ "${KESTRINE_WINE64_ONLY:-0}" = 1 ]; then echo win64; exit 0; fi
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x07\x00\x00\x00\xcd\x80' > "$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
if [ $? -eq 7 ]; then echo win32; else echo win64; fi
