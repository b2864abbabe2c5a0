#include "platform/win32/long_path.h"

#include <vector>

#include "platform/win32/utf.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {
namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool HasDriveRoot(std::wstring_view path) {
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    }
    return true;
}

// The \\?\ forms that lead to a file store: a drive, a share, a volume by its GUID. Without its
// final backslash "\\?\C:" or "\\?\Volume{...}" is the volume device itself.
bool LeadsToFiles(std::wstring_view afterPrefix) {
    if (HasDriveRoot(afterPrefix)) return afterPrefix[2] == L'\\';
    if (StartsWithNoCase(afterPrefix, L"UNC\\")) return true;
    return StartsWithNoCase(afterPrefix, L"Volume{") && afterPrefix.find(L"}\\") != std::wstring_view::npos;
}

std::vector<std::wstring_view> SplitComponents(std::wstring_view text) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsSeparator(text[i])) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// The components after the root, with the separators' own clutter removed and every name kept
// exactly as written.
std::wstring TidiedRest(const std::vector<std::wstring_view>& components, bool endsWithSeparator) {
    std::vector<std::wstring_view> kept;
    for (const std::wstring_view part : components) {
        if (part.empty() || part == L".") continue;
        if (part == L"..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    std::wstring rest;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) rest += L'\\';
        rest += kept[i];
    }
    if (endsWithSeparator && !rest.empty()) rest += L'\\';
    return rest;
}

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

std::optional<std::wstring> ForFileCall(std::wstring_view path) {
    if (path.substr(0, kExtendedPrefix.size()) == kExtendedPrefix) {
        if (LeadsToFiles(path.substr(kExtendedPrefix.size()))) return std::wstring(path);
        return std::nullopt;
    }
    const bool endsWithSeparator = !path.empty() && IsSeparator(path.back());
    if (HasDriveRoot(path)) {
        const std::wstring root = std::wstring(kExtendedPrefix) + path[0] + L":\\";
        return root + TidiedRest(SplitComponents(path.substr(3)), endsWithSeparator);
    }
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return std::nullopt;

    std::vector<std::wstring_view> components = SplitComponents(path.substr(2));
    // "\\.\" and "//?/" are the device namespace, not a server called "." or "?".
    if (components.size() < 2 || components[0].empty() || components[1].empty() || components[0] == L"." ||
        components[0] == L"?") {
        return std::nullopt;
    }
    const std::wstring root =
        std::wstring(kExtendedPrefix) + L"UNC\\" + std::wstring(components[0]) + L"\\" + std::wstring(components[1]);
    components.erase(components.begin(), components.begin() + 2);
    const std::wstring rest = TidiedRest(components, endsWithSeparator);
    return rest.empty() ? root + L"\\" : root + L"\\" + rest;
}

std::optional<std::wstring> ForFileCall(std::string_view utf8Path) { return ForFileCall(Widen(utf8Path)); }

bool IsAbsolutePath(std::wstring_view path) {
    return HasDriveRoot(path) || (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

std::wstring AbsolutePath(std::wstring_view path) {
    if (path.empty() || IsAbsolutePath(path)) return std::wstring(path);
    std::wstring full = FullPath(std::wstring(path));
    return full.empty() ? std::wstring(path) : full;
}

}  // namespace shredder::win32
