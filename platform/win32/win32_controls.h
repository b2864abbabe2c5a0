#pragma once

// The main window's controls as the portable interfaces see them: the list, the start button,
// the progress bar, message boxes, the taskbar button and the reason the session must wait.
#include "platform/win32/windows_api.h"

#include <shobjidl.h>
#include <stdexcept>

#include "platform/ui.h"
#include "platform/unique_handle.h"

namespace shredder::win32 {

class Win32Button final : public Button {
public:
    explicit Win32Button(HWND control) : control_(control) {}
    void setEnabled(bool enabled) override { ::EnableWindow(control_, enabled ? TRUE : FALSE); }
    bool isEnabled() const override { return ::IsWindowEnabled(control_) != FALSE; }

private:
    HWND control_;
};

// The control refused an entry (LB_ERR, or LB_ERRSPACE when it has no room left). An entry that
// is not in the list would never be shredded, so the refusal must reach the user.
class ListBoxAddFailed : public std::runtime_error {
public:
    explicit ListBoxAddFailed(long result);
};

// The user32 list box holding the shred list. It has no horizontal extent of its own, so it
// tracks the widest entry to make long paths reachable with the horizontal scroll bar.
class Win32ListBox final : public ListBox {
public:
    explicit Win32ListBox(HWND control) : control_(control), measuring_(::CreateCompatibleDC(nullptr)) {}

    // Throws ListBoxAddFailed when the control does not take the entry; the entries before it
    // stay listed.
    void append(const std::string& path) override;
    void removeAt(std::size_t index) override;
    void clear() override;
    std::size_t count() const override;
    std::string at(std::size_t index) const override;
    std::optional<std::size_t> selectedIndex() const override;

    void beginBatch() override;
    void endBatch() override;

private:
    void widenExtentFor(const std::wstring& text);
    void applyExtent();

    HWND control_;
    unique_memory_dc measuring_;  // measures entries in the control's font
    int batchDepth_ = 0;
    std::size_t reserved_ = 0;  // entries the control has already made room for
    int extent_ = 0;            // widest entry in pixels
};

// The progress control counts in int; the run's Min, Max and Value are floats that reach the
// size of the largest files. This is what the control is given for them.
struct ControlRange {
    int low = 0;
    int high = 0;
    int position = 0;
};

// Values within int are passed on rounded; larger ranges are scaled down together so the bar
// shows the same fraction. The position is kept within the range, and NaN counts as 0.
ControlRange ToControlRange(float min, float max, float value);

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

// MessageBoxW owned by the main window, so the window is disabled while it is up.
class Win32MessageBox final : public MessageBox {
public:
    explicit Win32MessageBox(HWND owner) : owner_(owner) {}
    MessageResult show(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    HWND owner_;
};

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

// The reason a window gives for holding back a log-off or shut-down, held from block() until
// unblock() or the object's end. Where the system keeps no reason the window's answer to the
// session's end still holds it back; the user is only told less.
class Win32SessionEndBlock final : public SessionEndBlock {
public:
    explicit Win32SessionEndBlock(HWND window) : window_(window) {}
    ~Win32SessionEndBlock() override { unblock(); }
    Win32SessionEndBlock(const Win32SessionEndBlock&) = delete;
    Win32SessionEndBlock& operator=(const Win32SessionEndBlock&) = delete;

    void block(const std::string& reason) override;
    void unblock() override;
    bool blocked() const { return blocked_; }

private:
    HWND window_;
    bool blocked_ = false;
};

}  // namespace shredder::win32
