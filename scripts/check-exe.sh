#!/usr/bin/env bash
# Checks that kestrine.exe is a 32-bit GUI program that imports system libraries only, and
# none of their functions that older Windows lack.
set -euo pipefail
exe=$1
desc=$(file -b "$exe")
case "$desc" in
    "PE32 executable (GUI) Intel 80386"*) ;;
    *) echo "check-exe: $exe is not a PE32 i386 GUI executable: $desc" >&2; exit 1 ;;
esac
system_dlls='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|version|msvcrt|imm32|ole32)\.dll$'
bad=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | grep -v -E "$system_dlls" || true)
if [ -n "$bad" ]; then
    echo "check-exe: $exe imports non-system libraries: $bad" >&2
    exit 1
fi
# Functions that Windows 95, 98 or NT 4 lack: a static import of one keeps the program from
# starting there at all (a thread runtime pulled some in once).
too_new='^(GetTickCount64|AddVectoredExceptionHandler|RemoveVectoredExceptionHandler|InitializeCriticalSectionEx|GetSystemTimePreciseAsFileTime|TryEnterCriticalSection|GetHandleInformation|InitializeSRWLock|AcquireSRWLockExclusive|InitializeConditionVariable|SleepConditionVariableSRW|WakeAllConditionVariable|FlsAlloc|InitCommonControlsEx)$'
newer=$(i686-w64-mingw32-objdump -p "$exe" | awk 'NF>=3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $NF}' | grep -E "$too_new" || true)
if [ -n "$newer" ]; then
    echo "check-exe: $exe imports functions older Windows lack: $newer" >&2
    exit 1
fi
echo "check-exe: $(basename "$exe"): $desc; imports: $(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {printf "%s ", $3}')"
