#include "host/services/main_window.h"

#include "host/services/windows_api.h"

#if !defined(_WIN32)
#include "platform/win_kernel.h"
#endif

namespace panelhost {

const char* main_window_class_name(MainWindowClass window_class) {
    switch (window_class) {
    case MainWindowClass::fs98: return "FS98MAIN";
    case MainWindowClass::cfs: return "MSCFSMAIN";
    case MainWindowClass::none: return "";
    }
    return "";
}

#if defined(_WIN32)

std::string MainWindow::create(MainWindowClass window_class) {
    if (window_class == MainWindowClass::none) return {};
    const char* class_name = main_window_class_name(window_class);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA description{};
    description.lpfnWndProc = DefWindowProcA;
    description.hInstance = instance;
    description.lpszClassName = class_name;
    if (RegisterClassA(&description) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return std::string("cannot register window class ") + class_name;
    }
    // Never shown: it only has to be found.
    HWND window = CreateWindowExA(0, class_name, "panelhost", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                                  instance, nullptr);
    // Without a display (Wine with no X server) only a message-only window
    // can be made; Wine's FindWindowA finds those too.
    if (window == nullptr) {
        window = CreateWindowExA(0, class_name, "panelhost", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    }
    if (window == nullptr) return std::string("cannot create a window of class ") + class_name;
    window_ = window;
    return {};
}

MainWindow::~MainWindow() {
    if (window_ != nullptr) DestroyWindow(static_cast<HWND>(window_));
}

#else

// No window system natively: the platform layer keeps the window's class,
// and FindWindowA finds it from then on.
std::string MainWindow::create(MainWindowClass window_class) {
    if (window_class == MainWindowClass::none) return {};
    window_ = platform::set_main_window_class(main_window_class_name(window_class));
    return {};
}

MainWindow::~MainWindow() {
    if (window_ != nullptr) platform::set_main_window_class(nullptr);
}

#endif

}  // namespace panelhost
