#pragma once

// The real window of Form1 and how a test or the program builds it.
#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/layout.h"
#include "app/win32/window_worker.h"
#include "platform/sys_error.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_skin.h"
#include "platform/win32/windows_api.h"

namespace shredder::app {

inline constexpr wchar_t kWindowClassName[] = L"JichuanShredderForm";

// The step of building the window that failed, with the system's reason.
struct WindowFailure {
    std::string step;
    SysError error;
};

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
    BackgroundWork* background = nullptr;
    TaskbarButton* taskbar = nullptr;
    bool quitsMessageLoop = true;  // closing the window ends the thread's message loop
};

// Form1's real window: creates the window and its controls, runs Form_Load, and routes the
// window's events to Form1's handlers. The work a handler starts runs on the window's worker
// thread; its progress and outcome come back as messages.
class MainWindow {
public:
    // The window exists and Form_Load has run; it is not shown yet.
    static std::unique_ptr<MainWindow> Create(const WindowOptions& options, WindowFailure& failure);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Shows the window with the focus on the first control.
    void show(int showCommand);

    HWND handle() const { return window_.get(); }
    HWND control(int id) const;

private:
    explicit MainWindow(const WindowOptions& options);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<WindowFailure> build();
    std::optional<WindowFailure> createControls(int dpi, HFONT font);
    void onCommand(int id, int notification, HWND control);
    void onDrop(HDROP drop);
    void onClose();
    void onEndSession();
    // Runs one handler, then what waited for it: drops, and the end of background work.
    // Whatever the handler throws is caught here and shown in a box; the window goes on.
    void run(const std::function<void()>& handler);
    void reportFailure(const std::exception_ptr& failure) noexcept;
    void showWorking();

    WindowOptions options_;
    // Made in advance: the words still reach the user when there is no memory left to make them.
    std::wstring lastResortText_;
    std::wstring lastResortCaption_;
    bool reportingFailure_ = false;
    // Owned from WM_NCCREATE; cleared at WM_NCDESTROY when the system destroys it.
    win32::unique_hwnd window_;
    std::array<HWND, layout::kControls.size()> controls_{};  // indexed like layout::kControls
    win32::unique_hfont ownFont_;
    HWND focusBeforeDeactivation_ = nullptr;
    int runningHandlers_ = 0;
    std::vector<std::vector<std::string>> deferredDrops_;
    bool workEnded_ = false;  // the worker's work ended while a handler was running
    bool showsWorking_ = false;

    // The real controls and services; built once the window exists.
    std::unique_ptr<win32::Win32ListBox> List1_;
    std::unique_ptr<win32::Win32Button> Command3_;
    std::unique_ptr<win32::Win32ProgressBar> jdt_;
    std::unique_ptr<win32::Win32OpenFileDialog> cdlg_;
    std::unique_ptr<win32::Win32FolderBrowser> folderBrowser_;
    std::unique_ptr<win32::Win32MessageBox> messages_;
    win32::Win32FileSystem fs_;
    win32::Win32Shell shell_;
    std::unique_ptr<win32::Win32Skin> skin_;
    std::unique_ptr<win32::Win32TaskbarButton> taskbar_;
    std::unique_ptr<win32::Win32SessionEndBlock> sessionEnd_;
    std::unique_ptr<Form1> form_;
    // Declared last, so it is gone first: its thread ends before the form it works for.
    std::unique_ptr<WindowWorker> worker_;
};

}  // namespace shredder::app
