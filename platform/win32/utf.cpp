#include "platform/win32/utf.h"

#include <climits>
#include <stdexcept>

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

}  // namespace shredder::win32
