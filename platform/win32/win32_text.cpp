#include "platform/win32/win32_text.h"

#include <climits>
#include <stdexcept>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long to convert");
    return static_cast<int>(size);
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int inLength = CheckedLength(utf8.size());
    const int outLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
    if (outLength <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(outLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, wide.data(), outLength);
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int inLength = CheckedLength(utf16.size());
    const int outLength = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (outLength <= 0) return {};
    std::string narrow(static_cast<std::size_t>(outLength), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, narrow.data(), outLength, nullptr, nullptr);
    return narrow;
}

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

namespace {

ErrorKind KindOf(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return ErrorKind::NotFound;
        case ERROR_PATH_NOT_FOUND:
            return ErrorKind::PathNotFound;
        case ERROR_ACCESS_DENIED:
            return ErrorKind::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return ErrorKind::SharingViolation;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
            return ErrorKind::DiskFull;
        case ERROR_WRITE_PROTECT:
            return ErrorKind::WriteProtected;
        case ERROR_FILENAME_EXCED_RANGE:
            return ErrorKind::NameTooLong;
        case ERROR_IO_DEVICE:
            return ErrorKind::DeviceError;
        default:
            return ErrorKind::Other;
    }
}

}  // namespace

std::string SystemMessage(unsigned long code) {
    unique_local_text buffer;
    LPWSTR raw = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<LPWSTR>(&raw), 0, nullptr);
    buffer.reset(raw);
    if (length == 0 || !buffer) return {};
    std::wstring text(buffer.get(), length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return Narrow(text);
}

SysError ErrorFromCode(unsigned long code) {
    SysError error;
    error.kind = KindOf(code);
    error.code = static_cast<long>(code);
    // Only the codes without a sentence of their own need the system's wording.
    if (error.kind == ErrorKind::Other) error.systemText = SystemMessage(code);
    return error;
}

SysError LastError() { return ErrorFromCode(::GetLastError()); }

}  // namespace shredder::win32

namespace shredder {

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
    // argv is in the console's code page and loses every character outside it; the wide
    // command line keeps them all.
    int count = 0;
    const win32::unique_argv argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    if (!argv) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win32::Narrow(argv.get()[i]));
    return arguments;
}

}  // namespace shredder
