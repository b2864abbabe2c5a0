#include "platform/win32/win32_file_system.h"

#include "platform/path.h"
#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_opened_file.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {
namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

bool Has(DWORD attributes, DWORD flag) { return (attributes & flag) != 0; }

SysError NotARegularFile() { return SysError{ErrorKind::NotARegularFile, 0, ""}; }

// After a failed open: a folder or a folder link cannot be opened as a file at all, so say what
// the path is rather than passing on the access-denied the system gives for it.
OpenOutcome ExplainFailedOpen(const std::wstring& path, SysError openError) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != kNoAttributes) {
        if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) return OpenOutcome{nullptr, true, std::nullopt};
        if (Has(attributes, FILE_ATTRIBUTE_DIRECTORY)) return OpenOutcome{nullptr, false, NotARegularFile()};
    }
    return OpenOutcome{nullptr, false, std::move(openError)};
}

}  // namespace

Failure Win32FileSystem::resetAttributes(const std::string& path) {
    if (!::SetFileAttributesW(ForFileCall(path).c_str(), FILE_ATTRIBUTE_NORMAL)) return LastError();
    return std::nullopt;
}

OpenOutcome Win32FileSystem::openForOverwrite(const std::string& path) {
    const std::wstring target = ForFileCall(path);
    // OPEN_ALWAYS never truncates: the zeros must land on the blocks that hold the old bytes.
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, so its target is never written.
    unique_hfile handle(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) return ExplainFailedOpen(target, LastError());

    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.get(), &info)) return OpenOutcome{nullptr, false, LastError()};
    if (Has(info.dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT)) return OpenOutcome{nullptr, true, std::nullopt};
    if (Has(info.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY)) return OpenOutcome{nullptr, false, NotARegularFile()};
    return OpenOutcome{std::make_unique<Win32OpenedFile>(std::move(handle)), false, std::nullopt};
}

Failure Win32FileSystem::remove(const std::string& path) {
    const std::wstring target = ForFileCall(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    // A junction or folder link is removed as a folder; that removes the link, not its target.
    const bool folderLink = attributes != kNoAttributes && Has(attributes, FILE_ATTRIBUTE_DIRECTORY) &&
                            Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT);
    const BOOL removed = folderLink ? ::RemoveDirectoryW(target.c_str()) : ::DeleteFileW(target.c_str());
    if (!removed) return LastError();
    return std::nullopt;
}

Failure Win32FileSystem::listDirectory(const std::string& folder,
                                       const std::function<void(const DirEntry&)>& onEntry) {
    const std::wstring pattern = ForFileCall(WithTrailingSeparator(folder, '\\')) + L"*";
    WIN32_FIND_DATAW data{};
    unique_hfind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        // A drive root has no "." or "..": an empty one has nothing at all to report.
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return std::nullopt;
        return ErrorFromCode(code);
    }
    do {
        const std::wstring_view name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        DirEntry entry;
        entry.name = Narrow(name);
        entry.isDirectory = Has(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
        entry.isHidden = Has(data.dwFileAttributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        entry.isLink = Has(data.dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
        onEntry(entry);
    } while (::FindNextFileW(find.get(), &data));

    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) return ErrorFromCode(code);
    return std::nullopt;
}

PathKind Win32FileSystem::kindOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(ForFileCall(path).c_str());
    if (attributes == kNoAttributes) return PathKind::Missing;
    if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) return PathKind::Link;
    if (Has(attributes, FILE_ATTRIBUTE_DIRECTORY)) return PathKind::Directory;
    return PathKind::File;
}

}  // namespace shredder::win32
