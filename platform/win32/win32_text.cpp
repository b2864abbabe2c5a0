// UTF-16 and WTF-8, paths in the \\?\ form, and Win32 error codes in portable terms.
#include "platform/win32/win32_text.h"

#include <cstdint>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUnit(std::wstring& wide, std::uint32_t codePoint) {
    if (codePoint < 0x10000) {
        wide += static_cast<wchar_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        wide += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        wide += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    }
}

// WTF-8 to UTF-16: UTF-8 in which a lone surrogate stands as its own three bytes, so that every
// UTF-16 name NTFS allows comes back exactly. `strict` refuses what Narrow never makes (bytes
// that are not WTF-8, and a surrogate pair spelt as two halves) instead of replacing it.
std::optional<std::wstring> Decode(std::string_view text, bool strict) {
    std::wstring wide;
    wide.reserve(text.size());
    const auto byteAt = [&](std::size_t i) -> std::uint32_t { return static_cast<unsigned char>(text[i]); };
    const auto continues = [&](std::size_t i) { return i < text.size() && (byteAt(i) & 0xC0) == 0x80; };
    std::size_t i = 0;
    while (i < text.size()) {
        const std::uint32_t lead = byteAt(i);
        std::uint32_t codePoint = 0;
        std::size_t length = 0;
        if (lead < 0x80) {
            codePoint = lead, length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF && continues(i + 1)) {
            codePoint = ((lead & 0x1F) << 6) | (byteAt(i + 1) & 0x3F), length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF && continues(i + 1) && continues(i + 2)) {
            codePoint = ((lead & 0x0F) << 12) | ((byteAt(i + 1) & 0x3F) << 6) | (byteAt(i + 2) & 0x3F), length = 3;
            if (codePoint < 0x800) length = 0;  // overlong
        } else if (lead >= 0xF0 && lead <= 0xF4 && continues(i + 1) && continues(i + 2) && continues(i + 3)) {
            codePoint = ((lead & 0x07) << 18) | ((byteAt(i + 1) & 0x3F) << 12) | ((byteAt(i + 2) & 0x3F) << 6) |
                        (byteAt(i + 3) & 0x3F);
            length = codePoint >= 0x10000 && codePoint <= 0x10FFFF ? 4 : 0;
        }
        if (length == 0) {
            if (strict) return std::nullopt;
            wide += kReplacement;
            ++i;
            continue;
        }
        // Two halves written apart would name the same file as the four-byte form.
        if (strict && IsLowSurrogate(codePoint) && !wide.empty() && IsHighSurrogate(wide.back())) return std::nullopt;
        AppendUnit(wide, codePoint);
        i += length;
    }
    return wide;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return *Decode(utf8, false); }

std::optional<std::wstring> WidenExactly(std::string_view wtf8) { return Decode(wtf8, true); }

std::string Narrow(std::wstring_view utf16) {
    std::string narrow;
    narrow.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t codePoint = static_cast<std::uint16_t>(utf16[i]);
        if (IsHighSurrogate(codePoint) && i + 1 < utf16.size() && IsLowSurrogate(static_cast<std::uint16_t>(utf16[i + 1]))) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (static_cast<std::uint16_t>(utf16[++i]) - 0xDC00);
        }
        // A surrogate left alone here is kept as its own three bytes, never made U+FFFD: a name
        // NTFS allows must lead back to that file, not to a sibling spelt with U+FFFD.
        if (codePoint < 0x80) {
            narrow += static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            narrow += static_cast<char>(0xC0 | (codePoint >> 6));
            narrow += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            narrow += static_cast<char>(0xE0 | (codePoint >> 12));
            narrow += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            narrow += static_cast<char>(0xF0 | (codePoint >> 18));
            narrow += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            narrow += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }
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

std::optional<std::wstring> ForFileCall(std::string_view utf8Path) {
    // A name that does not convert exactly would be some other file's.
    const std::optional<std::wstring> wide = WidenExactly(utf8Path);
    if (!wide) return std::nullopt;
    return ForFileCall(*wide);
}

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
