#pragma once

#include "platform/open_file_dialog.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

// comdlg32's open dialog, owned by the main window.
class Win32OpenFileDialog final : public OpenFileDialog {
public:
    explicit Win32OpenFileDialog(HWND owner) : owner_(owner) {}
    OpenDialogAnswer showOpen(const OpenDialogRequest& request) override;

private:
    HWND owner_;
};

}  // namespace shredder::win32
