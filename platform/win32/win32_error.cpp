#include "platform/win32/win32_error.h"

#include "platform/win32/unique_handle.h"
#include "platform/win32/utf.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {
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
