// The real window: its controls, layout, skin, and the routing of window messages to Form1.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include <new>

#include "app/texts.h"
#include "platform/win32/win32_text.h"

namespace shredder::app {
namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFrameExStyle = 0;

std::optional<WindowFailure> RegisterWindowClass(HINSTANCE instance, int iconResource, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    if (iconResource != 0) {
        windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(iconResource));
        windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconResource), IMAGE_ICON,
                                                              ::GetSystemMetrics(SM_CXSMICON),
                                                              ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    }
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kWindowClassName;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return WindowFailure{"RegisterClassExW", win32::LastError()};
    }
    return std::nullopt;
}

struct ClassAndStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle ClassFor(layout::ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case layout::ControlKind::Button:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case layout::ControlKind::ListBox:
            // Insertion order, one selection, exactly the table's height, and both scroll bars
            // because full paths are long.
            return {WC_LISTBOXW,
                    kChild | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                    WS_EX_CLIENTEDGE};
        case layout::ControlKind::ProgressBar:
            // Shows, never takes the focus: no tab stop.
            return {PROGRESS_CLASSW, kChild, 0};
    }
    return {WC_STATICW, kChild, 0};
}

// The program is system-DPI aware: one DPI for the whole session, the screen's.
int ScreenDpi() {
    const win32::unique_screen_dc screen(::GetDC(nullptr));
    if (!screen) return USER_DEFAULT_SCREEN_DPI;
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The system's message font (what dialogs use, with its CJK fallback), or nothing when the
// system cannot say; the stock GUI font is the caller's fallback.
win32::unique_hfont CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return {};
    return win32::unique_hfont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

// The paths of a WM_DROPFILES drop in the order dropped, each read with its own length so no
// path is cut short. Does not release the drop.
std::vector<std::string> DroppedPaths(HDROP drop) {
    constexpr UINT kCountQuery = 0xFFFFFFFF;
    const UINT count = ::DragQueryFileW(drop, kCountQuery, nullptr, 0);
    std::vector<std::string> paths;
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        paths.push_back(win32::Narrow(path));
    }
    return paths;
}

// Counts a handler as running from its start until it has returned or thrown.
class RunningHandler {
public:
    explicit RunningHandler(int& count) : count_(count) { ++count_; }
    ~RunningHandler() { --count_; }
    RunningHandler(const RunningHandler&) = delete;
    RunningHandler& operator=(const RunningHandler&) = delete;

private:
    int& count_;
};

// Why a command stopped, in the user's words.
std::string ReasonFor(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const win32::ListBoxAddFailed&) {
        return texts::kListRefusedEntry;
    } catch (const std::bad_alloc&) {
        return texts::kOutOfMemory;
    } catch (const std::exception& unexpected) {
        return std::string(texts::kUnexpectedError) + "\n" + unexpected.what();
    } catch (...) {
        return texts::kUnexpectedError;
    }
}

// The outer size whose client area is exactly the layout's, at the screen's DPI.
SIZE FrameSizeFor(int dpi) {
    RECT frame{0, 0, layout::TwipsToPixels(layout::kClientWidthTwips, dpi),
               layout::TwipsToPixels(layout::kClientHeightTwips, dpi)};
    ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace

MainWindow::MainWindow(const WindowOptions& options)
    : options_(options),
      lastResortText_(win32::Widen(std::string(texts::kOperationFailed) + "\n" + texts::kUnexpectedError)),
      lastResortCaption_(win32::Widen(texts::kAppTitle)) {}

MainWindow::~MainWindow() {
    // The work ends first: it reports to a form and a window that must still be there.
    worker_.reset();
    window_.reset();
}

std::unique_ptr<MainWindow> MainWindow::Create(const WindowOptions& options, WindowFailure& failure) {
    std::unique_ptr<MainWindow> main(new MainWindow(options));
    if (auto failed = main->build()) {
        failure = std::move(*failed);
        return nullptr;
    }
    return main;
}

HWND MainWindow::control(int id) const {
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        if (layout::kControls[i].id == id) return controls_[i];
    }
    return nullptr;
}

std::optional<WindowFailure> MainWindow::build() {
    if (auto failed = RegisterWindowClass(options_.instance, options_.iconResource, WindowProc)) return failed;

    const int dpi = ScreenDpi();
    const SIZE frame = FrameSizeFor(dpi);
    const std::wstring caption = win32::Widen(texts::kWindowCaption);
    // WM_NCCREATE ties the window to this object, so its events reach handle() from the start.
    if (!::CreateWindowExW(kFrameExStyle, kWindowClassName, caption.c_str(), kFrameStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, options_.instance, this)) {
        return WindowFailure{"CreateWindowExW Form1", win32::LastError()};
    }

    ownFont_ = CreateMessageFont();
    const HFONT font = ownFont_ ? ownFont_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (auto failed = createControls(dpi, font)) return failed;
    ::DragAcceptFiles(window_.get(), TRUE);

    List1_ = std::make_unique<win32::Win32ListBox>(control(layout::kList1));
    Command3_ = std::make_unique<win32::Win32Button>(control(layout::kCommand3));
    jdt_ = std::make_unique<win32::Win32ProgressBar>(control(layout::kJdt));
    cdlg_ = std::make_unique<win32::Win32OpenFileDialog>(window_.get());
    folderBrowser_ = std::make_unique<win32::Win32FolderBrowser>(window_.get());
    messages_ = std::make_unique<win32::Win32MessageBox>(window_.get());
    skin_ = std::make_unique<win32::Win32Skin>(window_.get());
    taskbar_ = std::make_unique<win32::Win32TaskbarButton>(window_.get());
    sessionEnd_ = std::make_unique<win32::Win32SessionEndBlock>(window_.get());
    worker_ = std::make_unique<WindowWorker>(window_.get());
    form_ = std::make_unique<Form1>(Form1Parts{
        *List1_,
        *Command3_,
        *jdt_,
        options_.cdlg ? *options_.cdlg : *cdlg_,
        options_.folderBrowser ? *options_.folderBrowser : *folderBrowser_,
        options_.messages ? *options_.messages : *messages_,
        options_.fs ? *options_.fs : fs_,
        options_.shell ? *options_.shell : shell_,
        options_.skin ? *options_.skin : *skin_,
        options_.background ? *options_.background : *worker_,
        options_.taskbar ? *options_.taskbar : *taskbar_,
        *sessionEnd_,
    });
    run([&] { form_->Form_Load(); });
    return std::nullopt;
}

std::optional<WindowFailure> MainWindow::createControls(int dpi, HFONT font) {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window_.get(), GWLP_HINSTANCE));
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::ControlLayout& c = layout::kControls[i];
        const ClassAndStyle kind = ClassFor(c.kind);
        const std::wstring caption = win32::Widen(c.caption);
        const HWND control = ::CreateWindowExW(
            kind.exStyle, kind.windowClass, caption.c_str(), kind.style, layout::TwipsToPixels(c.left, dpi),
            layout::TwipsToPixels(c.top, dpi), layout::TwipsToPixels(c.width, dpi),
            layout::TwipsToPixels(c.height, dpi), window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
            instance, nullptr);
        if (!control) return WindowFailure{std::string("CreateWindowExW ") + c.name, win32::LastError()};
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls_[i] = control;
    }
    return std::nullopt;
}

void MainWindow::show(int showCommand) {
    ::ShowWindow(window_.get(), showCommand);
    ::UpdateWindow(window_.get());
    ::SetFocus(control(layout::kCommand1));
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_.reset(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The system is destroying it: there is nothing left to own.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.release();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        self->reportFailure(std::current_exception());
        return 0;
    }
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == win32::Win32TaskbarButton::CreatedMessage() && taskbar_) {
        taskbar_->attachSystemObject();
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_DROPFILES:
            onDrop(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_QUERYENDSESSION: {
            bool mayEnd = true;
            if (form_) run([&] { mayEnd = form_->Form_QueryEndSession(); });
            return mayEnd ? TRUE : FALSE;
        }
        case WM_ENDSESSION:
            // FALSE: someone refused and the session goes on, and so does the work.
            if (wParam) onEndSession();
            return 0;
        case WM_TIMER:
            if (wParam != WindowWorker::kTasksTimer) break;
            ::KillTimer(window_.get(), wParam);  // one tick brings everything that waits
            [[fallthrough]];
        case WindowWorker::kTasksMessage:
            // A handler's: a task may end a listing and report, as the end of work does.
            if (worker_) run([&] { worker_->runTasks(); });
            return 0;
        case WindowWorker::kFinishedMessage:
            // Like a drop, the end of the work waits for a handler's box to close.
            if (runningHandlers_ > 0) {
                workEnded_ = true;
            } else if (worker_) {
                run([&] { worker_->finish(); });
            }
            return 0;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
            if (skin_) {
                if (const auto brush = skin_->controlColours(message, reinterpret_cast<HDC>(wParam))) return *brush;
            }
            break;
        case WM_ERASEBKGND:
            if (skin_ && skin_->eraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
            break;
        case WM_ACTIVATE:
            // A plain window forgets its focused control when it loses activation; keep it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus && ::IsChild(window_.get(), focus)) focusBeforeDeactivation_ = focus;
            }
            break;
        case WM_SETFOCUS:
            ::SetFocus(focusBeforeDeactivation_ ? focusBeforeDeactivation_ : control(layout::kCommand1));
            return 0;
        case WM_DESTROY:
            if (options_.quitsMessageLoop) ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window_.get(), message, wParam, lParam);
}

void MainWindow::onCommand(int id, int notification, HWND control) {
    if (!form_ || !control) return;  // menus and accelerators: there are none
    if (id == layout::kList1) {
        if (notification == LBN_DBLCLK) run([&] { form_->List1_DblClick(); });
        return;
    }
    // A disabled button cannot be clicked, even by a message sent from outside.
    if (notification != BN_CLICKED || !::IsWindowEnabled(control)) return;
    switch (id) {
        case layout::kCommand1:
            run([&] { form_->Command1_Click(); });
            break;
        case layout::kCommand2:
            run([&] { form_->Command2_Click(); });
            break;
        case layout::kCommand3:
            run([&] { form_->Command3_Click(); });
            break;
        case layout::kCommand4:
            run([&] { form_->Command4_Click(); });
            break;
        case layout::kCommand5:
            run([&] { form_->Command5_Click(); });
            break;
        default:
            break;
    }
}

void MainWindow::onDrop(HDROP drop) {
    const win32::unique_hdrop owned(drop);
    std::vector<std::string> paths = DroppedPaths(owned.get());
    if (!form_) return;
    if (runningHandlers_ > 0) {
        // A modal box inside a handler (the shred run's confirmation or report) still delivers
        // messages: take the drop after the handler, as every other input is.
        deferredDrops_.push_back(std::move(paths));
        return;
    }
    run([&] { form_->Form_DropFiles(paths); });
}

void MainWindow::onClose() {
    bool closing = true;
    if (form_) {
        closing = false;
        run([&] { closing = form_->Form_QueryUnload(); });
    }
    if (closing && window_) ::DestroyWindow(window_.get());
}

void MainWindow::onEndSession() {
    if (form_) run([&] { form_->Form_EndSession(); });
    // The system ends the process once this returns; ending it here as well leaves the same
    // state on systems that do not (Wine).
    if (window_) ::DestroyWindow(window_.get());
}

void MainWindow::run(const std::function<void()>& handler) {
    {
        // The failure box is modal too: drops arriving while it is up also wait.
        const RunningHandler running(runningHandlers_);
        try {
            handler();
        } catch (...) {
            reportFailure(std::current_exception());
        }
    }
    if (runningHandlers_ > 0) return;
    showWorking();
    if (std::exchange(workEnded_, false) && worker_) run([&] { worker_->finish(); });
    while (runningHandlers_ == 0 && !deferredDrops_.empty()) {
        const std::vector<std::string> paths = std::move(deferredDrops_.front());
        deferredDrops_.erase(deferredDrops_.begin());
        run([&] { form_->Form_DropFiles(paths); });
    }
}

void MainWindow::showWorking() {
    const bool working = form_ && form_->working();
    if (working == showsWorking_) return;
    showsWorking_ = working;
    // The buttons do nothing while work runs, and look it. The start button keeps the state
    // the handlers give it.
    for (const int id : {layout::kCommand1, layout::kCommand2, layout::kCommand4, layout::kCommand5}) {
        ::EnableWindow(control(id), working ? FALSE : TRUE);
    }
}

void MainWindow::reportFailure(const std::exception_ptr& failure) noexcept {
    // A failure while the box of an earlier one is up (in a repaint under the box, say) would
    // stack boxes without end: the box already up speaks for it.
    if (reportingFailure_) return;
    reportingFailure_ = true;
    bool told = false;
    try {
        MessageBox* box = options_.messages ? options_.messages : messages_.get();
        if (box) {
            box->show(std::string(texts::kOperationFailed) + "\n" + ReasonFor(failure), texts::kAppTitle,
                      MessageButtons::Ok, MessageIcon::Error);
            told = true;
        }
    } catch (...) {
        // Out of memory again, most likely: the words made in advance still reach the user.
    }
    if (!told) ::MessageBoxW(window_.get(), lastResortText_.c_str(), lastResortCaption_.c_str(), MB_OK | MB_ICONERROR);
    reportingFailure_ = false;
}

}  // namespace shredder::app
