#pragma once

#include "platform/button.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

class Win32Button final : public Button {
public:
    explicit Win32Button(HWND control) : control_(control) {}
    void setEnabled(bool enabled) override { ::EnableWindow(control_, enabled ? TRUE : FALSE); }
    bool isEnabled() const override { return ::IsWindowEnabled(control_) != FALSE; }

private:
    HWND control_;
};

}  // namespace shredder::win32
