#include "platform/win32/small_file.h"

#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"

namespace shredder::win32 {

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) {
    const std::optional<std::wstring> systemPath = ForFileCall(path);
    if (!systemPath) return std::nullopt;
    const unique_hfile file(::CreateFileW(systemPath->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > limit) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) return std::nullopt;
    content.resize(read);
    return content;
}

}  // namespace shredder::win32
