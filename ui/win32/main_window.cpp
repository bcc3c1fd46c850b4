#include "ui/win32/main_window.h"

namespace ui {
namespace {

const char kClassName[] = "Kestrine.MainWindow";
constexpr int kClientWidth = 327;
constexpr int kClientHeight = 426;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

MainWindow::MainWindow(const settings::Registry& registry, platform::System& system, HWND application)
    : controller_(registry, system, prompts_), application_(application) {
    prompts_.setApplicationWindow(application);
}

MainWindow::~MainWindow() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool MainWindow::create() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);

    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kStyle, FALSE);
    // Without a desktop (a session with no display) no window can be made; the command-line
    // path needs none and still runs.
    hwnd_ = CreateWindowExA(0, kClassName, "Kestrine", kStyle, 0, 0, frame.right - frame.left,
                            frame.bottom - frame.top, application_, nullptr, instance, this);

    controller_.create();
    if (hwnd_) {
        if (controller_.hideRequested()) ShowWindow(hwnd_, SW_HIDE);
        placeVertically();
        SetWindowTextA(hwnd_, controller_.texts().windowTitle.c_str());
    }
    controller_.initialise();
    if (!hwnd_) return false;
    if (controller_.closeRequested()) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    if (!controller_.startedWithArguments() && !controller_.hideRequested()) ShowWindow(hwnd_, SW_SHOWNORMAL);
    return true;
}

// With command-line arguments the window waits below the desktop, out of sight; otherwise it
// is centred.
void MainWindow::placeVertically() {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r;
    GetWindowRect(hwnd_, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = work.left + (work.right - work.left - width) / 2;
    int y = controller_.startedWithArguments() ? work.bottom + 1 : (work.bottom - height) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK MainWindow::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        static_cast<MainWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    try {
        return self->handle(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT MainWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
}

}  // namespace ui
