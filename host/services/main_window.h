// The simulator's main window. The module looks for it by class name to give
// its sound device a window; the host creates a hidden one of the class the
// module expects for the host executable's name.
#pragma once

#include <string>

namespace panelhost {

enum class MainWindowClass { fs98, cfs, none };

// "FS98MAIN", "MSCFSMAIN", or empty for none.
const char* main_window_class_name(MainWindowClass window_class);

class MainWindow {
public:
    MainWindow() = default;
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the hidden window; natively, where there is no window system,
    // registers its class with the platform layer, where FindWindowA finds
    // it. Returns an error message, empty on success.
    std::string create(MainWindowClass window_class);

private:
    [[maybe_unused]] void* window_ = nullptr;  // used by the Windows build only
};

}  // namespace panelhost
