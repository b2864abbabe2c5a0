#include "platform/win32/win32_folder_browser.h"

#include <shlobj.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/utf.h"

namespace shredder::win32 {
namespace {

// The longest path the system can hand out.
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::string Win32FolderBrowser::BrowseFolder(const std::string& title, unsigned flags) {
    const std::wstring wideTitle = Widen(title);
    BROWSEINFOW info{};
    info.hwndOwner = owner_;
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = flags;

    const unique_pidl chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return {};  // cancelled

    std::vector<wchar_t> path(kLongestPath, L'\0');
    if (!::SHGetPathFromIDListEx(chosen.get(), path.data(), kLongestPath, GPFIDL_DEFAULT)) {
        return {};  // a choice with no file-system path, such as Control Panel
    }
    return Narrow(path.data());
}

}  // namespace shredder::win32
