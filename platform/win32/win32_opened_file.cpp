#include "platform/win32/win32_opened_file.h"

#include <algorithm>
#include <array>

#include "platform/win32/file_facts.h"
#include "platform/win32/win32_text.h"

namespace shredder::win32 {
namespace {

// One WriteFile call takes a DWORD count; larger buffers go in pieces of this size.
constexpr std::size_t kLargestWrite = 1u << 30;

// Using a file after close() is a programming error, reported like the system would.
SysError ClosedHandleError() { return ErrorFromCode(ERROR_INVALID_HANDLE); }

Failure LengthOf(HANDLE handle, std::uint64_t& bytes) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle, &size)) return LastError();
    bytes = static_cast<std::uint64_t>(size.QuadPart);
    return std::nullopt;
}

Failure WriteAt(HANDLE handle, std::uint64_t offset, const char* data, std::size_t size) {
    while (size > 0) {
        // On a handle opened for synchronous I/O the OVERLAPPED only says where: the call
        // returns when the bytes are written.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const auto request = static_cast<DWORD>(std::min(size, kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(handle, data, request, &written, &at)) return LastError();
        // A write that succeeds without writing would loop for ever.
        if (written == 0) return ErrorFromCode(ERROR_WRITE_FAULT);
        data += written;
        size -= written;
        offset += written;
    }
    return std::nullopt;
}

Failure Flush(HANDLE handle) {
    if (!::FlushFileBuffers(handle)) return LastError();
    return std::nullopt;
}

// The handle is gone whatever CloseHandle answers: it must not be closed a second time.
Failure Close(unique_hfile& handle) {
    if (!::CloseHandle(handle.release())) return LastError();
    return std::nullopt;
}

class Win32OpenedStream final : public OpenedData {
public:
    explicit Win32OpenedStream(unique_hfile handle) : handle_(std::move(handle)) {}

    Failure length(std::uint64_t& bytes) override {
        if (!handle_) return ClosedHandleError();
        return LengthOf(handle_.get(), bytes);
    }
    Failure writeAt(std::uint64_t offset, const char* data, std::size_t size) override {
        if (!handle_) return ClosedHandleError();
        return WriteAt(handle_.get(), offset, data, size);
    }
    Failure flush() override {
        if (!handle_) return ClosedHandleError();
        return Flush(handle_.get());
    }
    Failure close() override {
        if (!handle_) return ClosedHandleError();
        return Close(handle_);
    }

private:
    unique_hfile handle_;
};

// FSCTL_QUERY_ALLOCATED_RANGES, asked again from where the last answer ended while the system
// has more to say. `supported` is false where the file system has no such query.
Failure AllocatedRanges(HANDLE handle, std::uint64_t length, std::vector<FILE_ALLOCATED_RANGE_BUFFER>& found,
                        bool& supported) {
    supported = true;
    FILE_ALLOCATED_RANGE_BUFFER query{};
    query.FileOffset.QuadPart = 0;
    query.Length.QuadPart = static_cast<LONGLONG>(length);
    std::array<FILE_ALLOCATED_RANGE_BUFFER, 64> answer{};
    for (;;) {
        DWORD bytes = 0;
        const BOOL complete = ::DeviceIoControl(handle, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query,
                                                answer.data(), sizeof answer, &bytes, nullptr);
        const DWORD code = complete ? ERROR_SUCCESS : ::GetLastError();
        if (code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED) {
            supported = false;
            return std::nullopt;
        }
        if (code != ERROR_SUCCESS && code != ERROR_MORE_DATA) return ErrorFromCode(code);
        const std::size_t count = bytes / sizeof(FILE_ALLOCATED_RANGE_BUFFER);
        found.insert(found.end(), answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(count));
        if (complete) return std::nullopt;
        if (count == 0) return ErrorFromCode(ERROR_MORE_DATA);  // no progress: asking again would loop
        const FILE_ALLOCATED_RANGE_BUFFER& last = answer[count - 1];
        const LONGLONG end = query.FileOffset.QuadPart + query.Length.QuadPart;
        query.FileOffset.QuadPart = last.FileOffset.QuadPart + last.Length.QuadPart;
        if (query.FileOffset.QuadPart >= end) return std::nullopt;
        query.Length.QuadPart = end - query.FileOffset.QuadPart;
    }
}

}  // namespace

Failure Win32OpenedFile::length(std::uint64_t& bytes) {
    if (!handle_) return ClosedHandleError();
    return LengthOf(handle_.get(), bytes);
}

Failure Win32OpenedFile::writeAt(std::uint64_t offset, const char* data, std::size_t size) {
    if (!handle_) return ClosedHandleError();
    return WriteAt(handle_.get(), offset, data, size);
}

Failure Win32OpenedFile::flush() {
    if (!handle_) return ClosedHandleError();
    return Flush(handle_.get());
}

Failure Win32OpenedFile::close() {
    if (!handle_) return ClosedHandleError();
    const Failure closed = Close(handle_);
    entry_.folder.reset();
    return closed;
}

Failure Win32OpenedFile::nameCount(std::uint32_t& names) {
    if (!handle_) return ClosedHandleError();
    FILE_STANDARD_INFO standard{};
    if (!::GetFileInformationByHandleEx(handle_.get(), FileStandardInfo, &standard, sizeof standard)) return LastError();
    names = standard.NumberOfLinks;
    return std::nullopt;
}

Failure Win32OpenedFile::dataRanges(std::vector<ByteRange>& ranges) {
    if (!handle_) return ClosedHandleError();
    std::uint64_t bytes = 0;
    if (Failure failed = LengthOf(handle_.get(), bytes)) return failed;
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(handle_.get(), FileBasicInfo, &basic, sizeof basic)) return LastError();
    if ((basic.FileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) == 0) {
        ranges = WholeFile(bytes);
        return std::nullopt;
    }
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> found;
    bool supported = true;
    if (Failure failed = AllocatedRanges(handle_.get(), bytes, found, supported)) return failed;
    ranges = supported ? DataRangesWithin(found, bytes) : WholeFile(bytes);
    return std::nullopt;
}

Failure Win32OpenedFile::namedStreams(std::vector<std::string>& names) {
    if (!handle_) return ClosedHandleError();
    names.clear();
    WIN32_FIND_STREAM_DATA data{};
    const unique_hfind find(::FindFirstStreamW(entry_.systemPath.c_str(), FindStreamInfoStandard, &data, 0));
    if (!find) {
        // The answer of a file with no stream at all, and Wine's for every file.
        const DWORD code = ::GetLastError();
        if (code == ERROR_HANDLE_EOF) return std::nullopt;
        return ErrorFromCode(code);
    }
    do {
        if (const std::optional<std::wstring> name = NamedStreamName(data.cStreamName)) names.push_back(Narrow(*name));
    } while (::FindNextStreamW(find.get(), &data));
    const DWORD code = ::GetLastError();
    if (code != ERROR_HANDLE_EOF) return ErrorFromCode(code);
    return std::nullopt;
}

Failure Win32OpenedFile::openNamedStream(const std::string& name, std::unique_ptr<OpenedData>& stream) {
    if (!handle_) return ClosedHandleError();
    const std::wstring streamName = Widen(name);
    // A colon or separator would name another stream type or another file.
    if (!IsPlainStreamName(streamName)) return ErrorFromCode(ERROR_INVALID_NAME);
    const ULONG options = FILE_NON_DIRECTORY_FILE | (entry_.servedByFilter ? 0 : FILE_OPEN_REPARSE_POINT);
    unique_hfile opened;
    // Share mode 0 keeps other writers out until the stream is closed: nobody adds bytes behind the zeros.
    if (Failure failed = OpenInFolder(entry_.folder.get(), entry_.name + L":" + streamName + L":$DATA",
                                      GENERIC_WRITE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, 0, options, opened)) {
        return failed;
    }
    FileId id;
    if (Failure failed = IdOf(opened.get(), entry_.id.volume, id)) return failed;
    if (!(id == entry_.id)) return SysError{ErrorKind::ChangedSinceListed, 0, {}};
    stream = std::make_unique<Win32OpenedStream>(std::move(opened));
    return std::nullopt;
}

Failure Win32OpenedFile::remove() {
    if (!handle_) return ClosedHandleError();
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!::SetFileInformationByHandle(handle_.get(), FileDispositionInfo, &disposition, sizeof disposition)) {
        return LastError();
    }
    return std::nullopt;
}

}  // namespace shredder::win32
