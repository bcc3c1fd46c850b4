// Program entry of kestrine.exe: the application window, the main window and its two
// dialogs, the message loop.
#include <windows.h>

#include "hotkey/win32/hotkey_dialog.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_system.h"
#include "settings/registry.h"
#include "toolkit/message_loop.h"
#include "ui/win32/dialog_font.h"
#include "ui/win32/keyboard_dialog.h"
#include "ui/win32/main_window.h"

namespace {

HWND application = nullptr;

// The application window: hidden, it owns the main window and the program's message boxes,
// and carries the application's caption. Made when first needed: a command-line run that
// shows no box makes no window at all.
HWND applicationWindow() {
    if (application) return application;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.lpszClassName = "Kestrine.Application";
    RegisterClassA(&wc);
    application = CreateWindowExA(0, wc.lpszClassName, "ime", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    return application;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Where Windows offers it (8 and later; Vista and 7 with an update), libraries named without
    // a path come from the system folder only, never from the program's own folder.
    const DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (auto setDirectories = platform::kernelFunction<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories")) {
        setDirectories(kSearchSystem32);
    }
    platform::Win32Registry store;
    platform::Win32System system;
    settings::Registry registry(store);

    ui::MainWindow window(registry, system, applicationWindow);
    if (!window.create()) {
        if (application) DestroyWindow(application);
        // A command-line run ends with its exit status; a window that could not be made, with 1.
        return window.controller().closeRequested() ? static_cast<int>(window.controller().exitStatus()) : 1;
    }
    SetWindowTextA(applicationWindow(), window.controller().texts().caption.c_str());

    settings::WindowsVersion version(system.version());
    hotkey::HotkeyDialog editor(window.controller().language(), ui::dialogFontHeight(version), window.prompts());
    editor.create(window.hwnd());
    ui::KeyboardDialog keyboard(registry, system);
    keyboard.create(window.hwnd());
    window.createDialogs(editor, keyboard);

    int code = toolkit::runMessageLoop();
    DestroyWindow(application);
    return code;
}
