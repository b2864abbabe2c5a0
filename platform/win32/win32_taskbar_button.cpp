#include "platform/win32/win32_taskbar_button.h"

namespace shredder::win32 {

UINT Win32TaskbarButton::CreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void Win32TaskbarButton::attach(unique_taskbar_list list) {
    list_ = std::move(list);
    if (list_ && FAILED(list_.get()->HrInit())) list_.reset();
    state_ = TBPF_NOPROGRESS;
}

void Win32TaskbarButton::attachSystemObject() {
    ITaskbarList3* list = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  reinterpret_cast<void**>(&list)))) {
        return;  // an older shell, or none: the window's own bar still shows the run
    }
    attach(unique_taskbar_list(list));
}

void Win32TaskbarButton::showProgress(std::uint64_t done, std::uint64_t total) {
    if (!list_) return;
    setState(TBPF_NORMAL);
    list_.get()->SetProgressValue(window_, done, total);
}

void Win32TaskbarButton::showError() { setState(TBPF_ERROR); }

void Win32TaskbarButton::clear() { setState(TBPF_NOPROGRESS); }

void Win32TaskbarButton::setState(TBPFLAG state) {
    // The state is sent only when it changes: a run of small files reports progress often.
    if (!list_ || state == state_) return;
    state_ = state;
    list_.get()->SetProgressState(window_, state);
}

}  // namespace shredder::win32
