#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/win32/child_controls.h"
#include "app/win32/window_failure.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_button.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_folder_browser.h"
#include "platform/win32/win32_list_box.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_open_file_dialog.h"
#include "platform/win32/win32_progress_bar.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_skin.h"

namespace shredder::app {

inline constexpr wchar_t kWindowClassName[] = L"JichuanShredderForm";

// How to build the window. The services left null are the system's own; a test passes its
// fakes instead and still gets the real window with its real controls.
struct WindowOptions {
    HINSTANCE instance = nullptr;
    int iconResource = 0;  // 0: no icon
    OpenFileDialog* cdlg = nullptr;
    FolderBrowser* folderBrowser = nullptr;
    MessageBox* messages = nullptr;
    FileSystem* fs = nullptr;
    Shell* shell = nullptr;
    Skin* skin = nullptr;
    bool quitsMessageLoop = true;  // closing the window ends the thread's message loop
};

// Form1's real window: creates the window and its controls, runs Form_Load, and routes the
// window's events to Form1's handlers.
class MainWindow {
public:
    // The window exists and Form_Load has run; it is not shown yet.
    static std::unique_ptr<MainWindow> Create(const WindowOptions& options, WindowFailure& failure);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Shows the window with the focus on the first control.
    void show(int showCommand);

    HWND handle() const { return window_; }
    HWND control(int id) const { return ControlById(controls_, id); }

private:
    explicit MainWindow(const WindowOptions& options);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<WindowFailure> build();
    void onCommand(int id, int notification, HWND control);
    void onDrop(HDROP drop);
    // Runs one handler, then the drops that arrived while it ran. Whatever the handler throws is
    // reported to the user here and goes no further.
    void run(const std::function<void()>& handler);
    // Tells the user that a command stopped part way, and why. Runs where an exception must go
    // no further (it would unwind through the system's frames), so it throws nothing itself.
    void reportFailure(const std::exception_ptr& failure) noexcept;

    WindowOptions options_;
    HWND window_ = nullptr;
    ChildControls controls_{};
    win32::unique_hfont ownFont_;
    HWND focusBeforeDeactivation_ = nullptr;
    int runningHandlers_ = 0;
    bool reportingFailure_ = false;
    // Words for a failure that not even the usual box can report, made while memory was there.
    std::wstring lastResortText_;
    std::wstring lastResortCaption_;
    std::vector<std::vector<std::string>> deferredDrops_;

    // The real controls and services; built once the window exists.
    std::unique_ptr<win32::Win32ListBox> list_;
    std::unique_ptr<win32::Win32Button> startButton_;
    std::unique_ptr<win32::Win32ProgressBar> progress_;
    std::unique_ptr<win32::Win32OpenFileDialog> openDialog_;
    std::unique_ptr<win32::Win32FolderBrowser> folderBrowser_;
    std::unique_ptr<win32::Win32MessageBox> messages_;
    win32::Win32FileSystem fs_;
    win32::Win32Shell shell_;
    std::unique_ptr<win32::Win32Skin> skin_;
    std::unique_ptr<Form1> form_;
};

}  // namespace shredder::app
