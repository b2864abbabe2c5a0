#pragma once

#include <stdexcept>

#include "platform/list_box.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

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

}  // namespace shredder::win32
