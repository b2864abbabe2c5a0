#pragma once

#include "platform/progress_bar.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

// The comctl32 progress bar. Keeps Min, Max and Value as the run set them, and repaints at once
// after each change because the run does not return to the message loop while it works.
class Win32ProgressBar final : public ProgressBar {
public:
    explicit Win32ProgressBar(HWND control);

    void setMax(float max) override;
    void setMin(float min) override;
    float value() const override { return value_; }
    void setValue(float value) override;

private:
    void show();

    HWND control_;
    float min_ = 0.0f;
    float max_ = 100.0f;
    float value_ = 0.0f;
};

}  // namespace shredder::win32
