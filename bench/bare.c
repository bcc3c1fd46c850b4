/* The yardstick of the command-line cycle: a program that does about the least a Win32
   program of this kind can do, opening one registry key and calling one user32 function.
   Started with "/wait" it stays until it is ended, which keeps a Wine session warm. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    HKEY key;
    HKL layouts[32];
    (void)instance, (void)previous, (void)show;
    if (lstrcmpA(line, "/wait") == 0) Sleep(INFINITE);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
    }
    return GetKeyboardLayoutList(32, layouts) > 0 ? 0 : 1;
}
