// A listed file open for the run: writes in place, sparse ranges, named streams, and a delete
// that is seen to happen.
#include "platform/win32/win32_opened_file.h"

#include <algorithm>
#include <array>

#include "platform/win32/file_api.h"
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
        const BOOL complete = Api().deviceIoControl(handle, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query,
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

// Whether the deleted entry's name is gone from its folder, looked for as it was opened: the
// name just deleted, so Wine need not read the folder for another spelling of it.
Failure ConfirmGone(const ListedEntry& entry) {
    unique_hfile still;
    if (Failure failed = OpenInFolder(entry.folder.get(), entry.name, FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN_REPARSE_POINT,
                                      still, /*exactCase=*/true)) {
        if (failed->kind == ErrorKind::NotFound) return std::nullopt;
        return failed;
    }
    FileId id;
    if (Failure failed = IdOf(still.get(), entry.volume, id)) return failed;
    // Another file may have taken the name meanwhile; this one must not be there.
    if (id == entry.id) return SysError{ErrorKind::NotDeleted, 0, {}};
    return std::nullopt;
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
    if (!handle_) {
        // remove() closed it to see the delete happen.
        if (removed_) return std::nullopt;
        return ClosedHandleError();
    }
    const Failure closed = Close(handle_);
    entry_.folder.reset();
    return closed;
}

Failure Win32OpenedFile::nameCount(std::uint32_t& names) {
    if (!handle_) return ClosedHandleError();
    FILE_STANDARD_INFO standard{};
    if (!ReadInfo(handle_.get(), FileStandardInfo, standard)) return LastError();
    names = standard.NumberOfLinks;
    return std::nullopt;
}

Failure Win32OpenedFile::dataRanges(std::vector<ByteRange>& ranges) {
    if (!handle_) return ClosedHandleError();
    std::uint64_t bytes = 0;
    if (Failure failed = LengthOf(handle_.get(), bytes)) return failed;
    if ((entry_.attributes & FILE_ATTRIBUTE_SPARSE_FILE) == 0 || !entry_.volume.mayHave(FILE_SUPPORTS_SPARSE_FILES)) {
        ranges = WholeFile(bytes);
        return std::nullopt;
    }
    std::vector<FILE_ALLOCATED_RANGE_BUFFER> found;
    bool supported = true;
    if (Failure failed = AllocatedRanges(handle_.get(), bytes, found, supported)) return failed;
    if (!supported && entry_.volume.claims(FILE_SUPPORTS_SPARSE_FILES)) return ErrorFromCode(ERROR_NOT_SUPPORTED);
    ranges = supported ? DataRangesWithin(found, bytes) : WholeFile(bytes);
    return std::nullopt;
}

Failure Win32OpenedFile::namedStreams(std::vector<std::string>& names) {
    if (!handle_) return ClosedHandleError();
    names.clear();
    // FAT32 and exFAT have no streams, and refuse the question.
    if (!entry_.volume.mayHave(FILE_NAMED_STREAMS)) return std::nullopt;
    // Asked through the open file, not its path: a path could lead to another file by now.
    std::vector<ULONGLONG> answer(4096 / sizeof(ULONGLONG));
    for (;;) {
        const DWORD size = static_cast<DWORD>(answer.size() * sizeof(ULONGLONG));
        if (Api().getFileInformationByHandleEx(handle_.get(), FileStreamInfo, answer.data(), size)) break;
        const DWORD code = ::GetLastError();
        if (code == ERROR_MORE_DATA && answer.size() < (1u << 24)) {
            answer.resize(answer.size() * 4);
            continue;
        }
        // No stream at all; or, on a volume that does not say what it has (Wine answers
        // ERROR_INVALID_FUNCTION), none to be had.
        if (code == ERROR_HANDLE_EOF) return std::nullopt;
        const bool unsupported =
            code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_PARAMETER;
        if (unsupported && !entry_.volume.known) return std::nullopt;
        return ErrorFromCode(code);
    }
    const std::optional<std::vector<std::wstring>> found = NamedStreamsIn(answer.data(), answer.size() * sizeof(ULONGLONG));
    if (!found) return ErrorFromCode(ERROR_INVALID_DATA);
    for (const std::wstring& name : *found) names.push_back(Narrow(name));
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
    if (Failure failed = IdOf(opened.get(), entry_.volume, id)) return failed;
    if (!(id == entry_.id)) return SysError{ErrorKind::ChangedSinceListed, 0, {}};
    stream = std::make_unique<Win32OpenedStream>(std::move(opened));
    return std::nullopt;
}

Failure Win32OpenedFile::remove() {
    if (!handle_) return ClosedHandleError();
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!Api().setFileInformationByHandle(handle_.get(), FileDispositionInfo, &disposition, sizeof disposition)) {
        return LastError();
    }
    // The file goes when its last handle closes, and nothing reports a delete that failed then
    // (Wine unlinks at that moment and keeps quiet when it cannot): look whether it is gone.
    if (Failure failed = Close(handle_)) return failed;
    removed_ = true;
    const Failure gone = ConfirmGone(entry_);
    entry_.folder.reset();
    return gone;
}

}  // namespace shredder::win32
