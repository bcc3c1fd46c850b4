#!/usr/bin/env bash
# Checks a built kestrine.exe: the machine type of its build (i686 or x86_64), a GUI program,
# linked statically (it imports known system libraries only), and none of their functions that the
# oldest Windows it is built for lacks (95 and NT 4 for i686, XP and Server 2003 x64 for x86_64),
# and no larger than 300 KB (i686) or 400 KB (x86_64), KB being 1,024 bytes.
#   scripts/check-exe.sh EXE [i686|x86_64]
set -euo pipefail
exe=$1
arch=${2:-i686}
case "$arch" in
    i686) want="PE32 executable (GUI) Intel 80386"; objdump=i686-w64-mingw32-objdump; limit=$((300 * 1024))
          # Windows 95, 98 or NT 4 lack these; a thread runtime pulled some in once.
          too_new='GetTickCount64|AddVectoredExceptionHandler|RemoveVectoredExceptionHandler|InitializeCriticalSectionEx|GetSystemTimePreciseAsFileTime|TryEnterCriticalSection|GetHandleInformation|InitializeSRWLock|AcquireSRWLockExclusive|InitializeConditionVariable|SleepConditionVariableSRW|WakeAllConditionVariable|FlsAlloc|InitCommonControlsEx' ;;
    x86_64) want="PE32+ executable (GUI) x86-64"; objdump=x86_64-w64-mingw32-objdump; limit=$((400 * 1024))
          # 64-bit Windows XP and Server 2003 lack these Vista functions.
          too_new='GetTickCount64|InitializeCriticalSectionEx|GetSystemTimePreciseAsFileTime|InitializeSRWLock|AcquireSRWLock[A-Za-z]*|ReleaseSRWLock[A-Za-z]*|InitializeConditionVariable|SleepConditionVariable[A-Za-z]*|Wake[A-Za-z]*ConditionVariable|InitOnceExecuteOnce|CreateSymbolicLink[AW]|GetFinalPathNameByHandle[AW]|GetErrorMode|FlsAlloc|FlsGetValue|FlsSetValue|FlsFree|LocaleNameToLCID|LCIDToLocaleName|CompareStringEx|GetLocaleInfoEx' ;;
    *) echo "check-exe: unknown architecture $arch (i686 or x86_64)" >&2; exit 2 ;;
esac
desc=$(file -b "$exe")
case "$desc" in
    "$want"*) ;;
    *) echo "check-exe: $exe is not a $want program: $desc" >&2; exit 1 ;;
esac
# Windows takes a library the program imports from the program's own folder when one lies there,
# unless it is a known DLL, which comes from the system folder whatever lies beside the program.
# Known on XP and later (by the KnownDLLs list, or msvcrt as what the listed ones load): imm32 only
# from 7 on, version no longer from 7 on, comctl32 never (it is loaded side by side); the program
# loads those three at run time by a safe name.
known_dlls='^(kernel32|user32|gdi32|advapi32|comdlg32|shell32|ole32|msvcrt)\.dll$'
bad=$($objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | grep -v -E "$known_dlls" || true)
if [ -n "$bad" ]; then
    echo "check-exe: $exe imports libraries outside the known DLLs: $bad" >&2
    exit 1
fi
# A static import of a function the oldest target lacks keeps the program from starting there.
newer=$($objdump -p "$exe" | awk 'NF>=3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $NF}' | grep -E "^($too_new)\$" || true)
if [ -n "$newer" ]; then
    echo "check-exe: $exe imports functions older Windows lack: $newer" >&2
    exit 1
fi
size=$(stat -c %s "$exe")
if [ "$size" -gt "$limit" ]; then
    echo "check-exe: $exe is $size bytes, over the limit of $limit bytes for $arch" >&2
    exit 1
fi
echo "check-exe: $(basename "$exe") ($arch): $desc; $size bytes (limit $limit); imports: $($objdump -p "$exe" | awk '/DLL Name:/ {printf "%s ", $3}')"
