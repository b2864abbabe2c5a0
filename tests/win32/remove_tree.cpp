#include "tests/win32/remove_tree.h"

#include "platform/win32/windows_api.h"

namespace shredder::testing {

using namespace shredder::win32;

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    {
        unique_hfind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
        if (find) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = folder + L"\\" + name;
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                const bool isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                if (isFolder && !isLink) {
                    RemoveTree(child);
                } else if (isFolder) {
                    ::RemoveDirectoryW(child.c_str());
                } else {
                    ::DeleteFileW(child.c_str());
                }
            } while (::FindNextFileW(find.get(), &data));
        }
    }
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace shredder::testing
