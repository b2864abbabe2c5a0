#pragma once

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "driver/program.h"
#include "driver/remote_memory.h"

namespace shredder::testing {

// The shell's folder browser, driven through its folder tree as a user clicks through it:
// open the drive, open each folder on the way, select the last one, press OK.
class FolderBrowser {
public:
    // Waits for the program to show the browser; check with operator bool.
    explicit FolderBrowser(const Program& program);
    explicit operator bool() const { return dialog_ != nullptr && tree_ != nullptr; }

    // The texts shown above the tree.
    std::vector<std::wstring> prompts() const;
    bool choose(const std::filesystem::path& folder);
    bool cancel() const;

private:
    std::optional<HTREEITEM> findDrive(const std::wstring& drive);
    std::optional<HTREEITEM> findChild(HTREEITEM parent, const std::wstring& name);
    std::vector<HTREEITEM> children(HTREEITEM parent);
    std::wstring label(HTREEITEM item);
    LRESULT ask(UINT message, WPARAM wParam, LPARAM lParam) const;

    const Program& program_;
    HWND dialog_ = nullptr;
    HWND tree_ = nullptr;
    std::optional<RemoteMemory> item_;  // a TVITEMW and its text buffer, in the program
};

}  // namespace shredder::testing
