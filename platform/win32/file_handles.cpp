#include "platform/win32/file_handles.h"

#include <vector>

#include "platform/win32/file_reports.h"
#include "platform/win32/win32_error.h"

namespace shredder::win32 {
namespace {

// "\\?\C:\x" from GetFinalPathNameByHandleW and "\??\C:\x" from the object's name are both
// "C:\x", so that the two ways of asking can be compared.
std::wstring WithoutDosPrefix(const std::wstring& path) {
    for (const std::wstring_view prefix : {std::wstring_view(L"\\\\?\\"), std::wstring_view(L"\\??\\")}) {
        if (path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
    }
    return path;
}

FileId IdFrom(const BY_HANDLE_FILE_INFORMATION& info) {
    return FileId{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

Failure FinalPathName(HANDLE handle, DWORD volumeForm, std::wstring& path) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                         FILE_NAME_NORMALIZED | volumeForm);
        if (length == 0) return LastError();
        if (length < buffer.size()) {
            buffer.resize(length);
            path = WithoutDosPrefix(buffer);
            return std::nullopt;
        }
        buffer.resize(length);  // too small: the answer is the size needed, terminator included
    }
}

Failure ObjectName(HANDLE handle, std::wstring& path) {
    // The longest name a UNICODE_STRING can hold, after the structure itself.
    std::vector<ULONG_PTR> buffer((sizeof(UNICODE_STRING) + 0x10000) / sizeof(ULONG_PTR) + 1);
    ULONG returned = 0;
    const NTSTATUS status = ::NtQueryObject(handle, ObjectNameInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &returned);
    if (!NT_SUCCESS(status)) return ErrorFromStatus(status);
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    path = WithoutDosPrefix(std::wstring(name->Buffer, name->Length / sizeof(wchar_t)));
    return std::nullopt;
}

}  // namespace

Failure OpenFolder(const std::wstring& systemPath, unique_hfile& folder, FileId& id) {
    // Without FILE_SHARE_DELETE nobody can rename the folder and put another in its place.
    unique_hfile handle(::CreateFileW(systemPath.c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return LastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.get(), &info)) return LastError();
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return ErrorFromCode(ERROR_DIRECTORY);
    id = IdFrom(info);
    folder = std::move(handle);
    return std::nullopt;
}

Failure OpenInFolder(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share, ULONG options,
                     unique_hfile& file) {
    constexpr std::size_t kLongestName = 0x7FFF;  // UNICODE_STRING counts bytes in 16 bits
    if (name.empty() || name.size() > kLongestName) return ErrorFromCode(ERROR_FILENAME_EXCED_RANGE);
    UNICODE_STRING text{};
    text.Buffer = const_cast<PWSTR>(name.data());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    const NTSTATUS status = ::NtCreateFile(&handle, access, &attributes, &io, nullptr, 0, share, FILE_OPEN,
                                           options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (!NT_SUCCESS(status)) return ErrorFromStatus(status);
    file.reset(handle);
    return std::nullopt;
}

Failure FactsOf(HANDLE handle, HandleFacts& facts) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return LastError();
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) return LastError();
    ::SetLastError(NO_ERROR);  // FILE_TYPE_UNKNOWN is also a valid answer
    const DWORD type = ::GetFileType(handle);
    if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR) return LastError();

    facts.id = IdFrom(info);
    facts.attributes = info.dwFileAttributes;
    facts.reparseTag = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? tag.ReparseTag : 0;
    facts.names = info.nNumberOfLinks;
    facts.length = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    facts.onDisk = type == FILE_TYPE_DISK;
    return std::nullopt;
}

EntryKind KindOf(const HandleFacts& facts) {
    return facts.onDisk ? KindFromAttributes(facts.attributes, facts.reparseTag) : EntryKind::Other;
}

Failure IdOf(HANDLE handle, FileId& id) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return LastError();
    id = IdFrom(info);
    return std::nullopt;
}

Failure FinalPathOf(HANDLE handle, std::wstring& path) {
    Failure failed = FinalPathName(handle, VOLUME_NAME_DOS, path);
    if (!failed) return std::nullopt;
    // Wine answers ERROR_MORE_DATA for any path longer than MAX_PATH, whatever the buffer; the
    // object's own name is what it would have converted.
    if (failed->code == ERROR_MORE_DATA) return ObjectName(handle, path);
    // A volume without a drive letter has only its NT name, on the folder and the file alike.
    return FinalPathName(handle, VOLUME_NAME_NT, path);
}

SysError ErrorFromStatus(NTSTATUS status) { return ErrorFromCode(::RtlNtStatusToDosError(status)); }

}  // namespace shredder::win32
