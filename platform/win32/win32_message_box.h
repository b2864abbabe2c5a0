#pragma once

#include "platform/message_box.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

// MessageBoxW owned by the main window, so the window is disabled while it is up.
class Win32MessageBox final : public MessageBox {
public:
    explicit Win32MessageBox(HWND owner) : owner_(owner) {}
    MessageResult show(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    HWND owner_;
};

}  // namespace shredder::win32
