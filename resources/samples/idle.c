/* A program that does nothing for a minute and then ends: it stands in for the indicator
   programs in tests. It has no window, so it runs without a display. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    Sleep(60000);
    return 0;
}
