#include "platform/win32/win32_opened_file.h"

#include <algorithm>

#include "platform/win32/win32_error.h"

namespace shredder::win32 {
namespace {

// One WriteFile call takes a DWORD count; larger buffers go in pieces of this size.
constexpr std::size_t kLargestWrite = 1u << 30;

// Using a file after close() is a programming error, reported like the system would.
SysError ClosedHandleError() { return ErrorFromCode(ERROR_INVALID_HANDLE); }

}  // namespace

Failure Win32OpenedFile::length(std::uint64_t& bytes) {
    if (!handle_) return ClosedHandleError();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size)) return LastError();
    bytes = static_cast<std::uint64_t>(size.QuadPart);
    return std::nullopt;
}

Failure Win32OpenedFile::write(const char* data, std::size_t size) {
    if (!handle_) return ClosedHandleError();
    while (size > 0) {
        const auto request = static_cast<DWORD>(std::min(size, kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(handle_.get(), data, request, &written, nullptr)) return LastError();
        // A synchronous write that succeeds without writing would loop for ever.
        if (written == 0) return ErrorFromCode(ERROR_WRITE_FAULT);
        data += written;
        size -= written;
    }
    return std::nullopt;
}

Failure Win32OpenedFile::flush() {
    if (!handle_) return ClosedHandleError();
    if (!::FlushFileBuffers(handle_.get())) return LastError();
    return std::nullopt;
}

Failure Win32OpenedFile::close() {
    if (!handle_) return ClosedHandleError();
    // The handle is gone whatever CloseHandle answers: it must not be closed a second time.
    if (!::CloseHandle(handle_.release())) return LastError();
    return std::nullopt;
}

}  // namespace shredder::win32
