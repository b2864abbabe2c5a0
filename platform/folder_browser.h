#pragma once

#include <string>

namespace shredder {

// The shell's modal folder browser, owned by the main window and rooted at the desktop.
class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    // The chosen folder's file-system path; "" when cancelled or when the choice has none.
    virtual std::string BrowseFolder(const std::string& title, unsigned flags) = 0;
};

}  // namespace shredder
