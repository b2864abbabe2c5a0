#include "platform/win32/long_path.h"

#include "platform/win32/utf.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::wstring FullPath(const std::wstring& path) {
    DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    while (size != 0) {
        std::wstring full(size, L'\0');
        const DWORD written = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (written == 0) break;
        if (written < size) {
            full.resize(written);
            return full;
        }
        size = written;  // the working folder changed in between: try again with the new size
    }
    return {};
}

}  // namespace

std::wstring ForFileCall(std::wstring_view path) {
    std::wstring given(path);
    if (given.empty() || StartsWith(given, L"\\\\?\\") || StartsWith(given, L"\\\\.\\")) return given;

    const std::wstring full = FullPath(given);
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return given;
}

std::wstring ForFileCall(std::string_view utf8Path) { return ForFileCall(Widen(utf8Path)); }

}  // namespace shredder::win32
