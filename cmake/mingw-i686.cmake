# Cross build of kestrine.exe with MinGW-w64 for 32-bit Windows, linked statically. The
# Win32-thread variant of the compilers: the POSIX-thread runtime imports functions that
# Windows 95 to XP lack (GetTickCount64 among them), and the program must start on all of them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
# 32-bit Windows promises a stack aligned to 4 bytes only, and the program uses no SSE: keeping
# 16-byte alignment on top of that costs size and buys nothing.
set(CMAKE_C_FLAGS_INIT "-mpreferred-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-mpreferred-stack-boundary=2")
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
