/* An input-method file for tests: a library with no code of its own beyond its entry point.
   Its version information and icon come from the resource file it is built with. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
