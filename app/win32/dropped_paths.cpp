#include "app/win32/dropped_paths.h"

#include "platform/win32/utf.h"

namespace shredder::app {

std::vector<std::string> DroppedPaths(HDROP drop) {
    constexpr UINT kCountQuery = 0xFFFFFFFF;
    const UINT count = ::DragQueryFileW(drop, kCountQuery, nullptr, 0);
    std::vector<std::string> paths;
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        paths.push_back(win32::Narrow(path));
    }
    return paths;
}

}  // namespace shredder::app
