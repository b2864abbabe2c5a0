// The program's entry: one thread, one window, one message loop.
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include "app/texts.h"
#include "app/win32/main_window.h"
#include "platform/win32/win32_text.h"
#include "resources/resource_ids.h"

namespace {

// COM for the user-interface thread (the shell's folder browser and the taskbar button need
// it), for the lifetime of the scope.
class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

void ShowStartFailure(const shredder::app::WindowFailure& failure) {
    using shredder::win32::Widen;
    const std::string text = failure.step + "\n\n" + shredder::texts::DescribeError(failure.error);
    ::MessageBoxW(nullptr, Widen(text).c_str(), Widen(shredder::texts::kAppTitle).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int showCommand) {
    // The folder browser is a COM object; a failure here shows when the browser is used.
    const ComApartment com;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
    ::InitCommonControlsEx(&controls);

    shredder::app::WindowOptions options;
    options.instance = instance;
    options.iconResource = IDI_APP;
    shredder::app::WindowFailure failure;
    const auto window = shredder::app::MainWindow::Create(options, failure);
    if (!window) {
        ShowStartFailure(failure);
        return 1;
    }
    window->show(showCommand);

    MSG message{};
    BOOL got = FALSE;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        // Tab and arrow keys move between the controls as in a dialog.
        if (window->handle() && ::IsDialogMessageW(window->handle(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
