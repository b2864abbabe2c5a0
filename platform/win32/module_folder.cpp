#include "platform/win32/module_folder.h"

namespace shredder::win32 {

std::wstring FolderOfModule(std::wstring_view modulePath) {
    const std::size_t lastSeparator = modulePath.rfind(L'\\');
    if (lastSeparator == std::wstring_view::npos) return {};
    std::wstring folder(modulePath.substr(0, lastSeparator));
    if (!folder.empty() && folder.back() == L':') folder += L'\\';
    return folder;
}

}  // namespace shredder::win32
