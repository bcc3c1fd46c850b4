// The main window of kestrine.exe.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/main_controller.h"
#include "ui/win32/message_prompts.h"

namespace ui {

class MainWindow {
public:
    MainWindow(const settings::Registry& registry, platform::System& system, HWND application);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and initialises it; with command-line arguments it runs the switches
    // and asks to be closed, never becoming visible. False when no window could be made (the
    // initialisation, and so the command line, has run all the same).
    bool create();
    HWND hwnd() const { return hwnd_; }
    MainController& controller() { return controller_; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void placeVertically();

    MessagePrompts prompts_;
    MainController controller_;
    HWND application_;
    HWND hwnd_ = nullptr;
};

}  // namespace ui
