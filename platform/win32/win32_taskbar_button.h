#pragma once

#include <shobjidl.h>

#include "platform/ui.h"
#include "platform/unique_handle.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

inline void ReleaseComObject(IUnknown* object) noexcept { object->Release(); }
using unique_taskbar_list = UniqueHandle<HandlePolicy<ITaskbarList3*, ReleaseComObject>>;

// The program's taskbar button through ITaskbarList3. Until the shell says the button exists
// (the "TaskbarButtonCreated" message), or where the shell has no such object, it shows nothing
// and the program carries on without it.
class Win32TaskbarButton final : public TaskbarButton {
public:
    explicit Win32TaskbarButton(HWND window) : window_(window) {}

    // The message the shell sends once the button exists.
    static UINT CreatedMessage();
    // Takes the shell's object when the button exists; a test hands in its own.
    void attach(unique_taskbar_list list);
    void attachSystemObject();

    void showProgress(std::uint64_t done, std::uint64_t total) override;
    void showError() override;
    void clear() override;

private:
    void setState(TBPFLAG state);

    HWND window_;
    unique_taskbar_list list_;
    TBPFLAG state_ = TBPF_NOPROGRESS;
};

}  // namespace shredder::win32
