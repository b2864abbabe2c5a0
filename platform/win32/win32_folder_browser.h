#pragma once

#include "platform/folder_browser.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

// shell32's folder browser, owned by the main window and rooted at the desktop. Needs COM
// initialised on the calling thread.
class Win32FolderBrowser final : public FolderBrowser {
public:
    explicit Win32FolderBrowser(HWND owner) : owner_(owner) {}
    std::string BrowseFolder(const std::string& title, unsigned flags) override;

private:
    HWND owner_;
};

}  // namespace shredder::win32
