#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/program.h"

namespace shredder::testing {

// The system's open dialog, driven through its file-name field as a user types into it.
class OpenDialog {
public:
    // Waits for the program to show the dialog; check with operator bool.
    explicit OpenDialog(const Program& program);
    explicit operator bool() const { return dialog_ != nullptr; }
    HWND window() const { return dialog_; }

    std::wstring fileName() const;
    // The folder the dialog shows.
    std::filesystem::path folder() const;
    std::wstring fileType() const;  // the chosen entry of the file-type list

    // Types the folder into the file-name field and presses Open, which opens that folder;
    // nothing to do when the dialog shows it already.
    bool goTo(const std::filesystem::path& folder) const;
    // Types the names (quoted when several) and presses Open; true once the dialog closed.
    bool choose(const std::vector<std::wstring>& names) const;
    bool cancel() const;

private:
    bool type(const std::wstring& text) const;
    HWND fileNameField() const;
    HANDLE process_ = nullptr;
    HWND dialog_ = nullptr;
};

}  // namespace shredder::testing
