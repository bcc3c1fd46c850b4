// Program entry of kestrine.exe: the application window, the main window, the message loop.
#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "settings/registry.h"
#include "ui/win32/main_window.h"

namespace {

// The application window: hidden, it owns the main window and the program's message boxes,
// and carries the application's caption.
HWND createApplicationWindow(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.lpszClassName = "Kestrine.Application";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "ime", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    platform::Win32Registry store;
    platform::Win32System system;
    settings::Registry registry(store);

    HWND application = createApplicationWindow(instance);
    ui::MainWindow window(registry, system, application);
    if (!window.create()) return window.controller().closeRequested() ? 0 : 1;
    SetWindowTextA(application, window.controller().texts().caption.c_str());

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window.hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyWindow(application);
    return 0;
}
