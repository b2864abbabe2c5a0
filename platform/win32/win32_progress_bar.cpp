#include "platform/win32/win32_progress_bar.h"

#include <commctrl.h>

#include "platform/win32/progress_range.h"

namespace shredder::win32 {

Win32ProgressBar::Win32ProgressBar(HWND control) : control_(control) { show(); }

void Win32ProgressBar::setMax(float max) {
    max_ = max;
    show();
}

void Win32ProgressBar::setMin(float min) {
    min_ = min;
    show();
}

void Win32ProgressBar::setValue(float value) {
    value_ = value;
    show();
}

void Win32ProgressBar::show() {
    const ControlRange range = ToControlRange(min_, max_, value_);
    ::SendMessageW(control_, PBM_SETRANGE32, static_cast<WPARAM>(range.low), static_cast<LPARAM>(range.high));
    ::SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(range.position), 0);
    ::UpdateWindow(control_);
}

}  // namespace shredder::win32
