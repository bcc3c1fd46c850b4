// Program entry of kestrine.exe.
#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::Win32Registry registry;
    platform::Win32System system;
    (void)registry;
    (void)system;
    return 0;
}
