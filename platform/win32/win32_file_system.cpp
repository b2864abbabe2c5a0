// The file system over kernel32 and ntdll: literal names, listed files found in their held
// folder, links never written through, storage zeros cannot reach left alone.
#include "platform/win32/win32_file_system.h"

#include "platform/win32/file_api.h"
#include "platform/win32/file_facts.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_api.h"
#include "platform/win32/win32_opened_file.h"

namespace shredder::win32 {

// A listed file's entry, opened in the listed folder once that folder proved to be the one listed.
struct FoundEntry {
    ListedEntry listed;
    unique_hfile handle;
    HandleFacts facts;
    bool atListedPlace = false;  // false: reached through a link the system did not report
    bool byShortName = false;    // not at its place because it was listed by its 8.3 short name
};

namespace {

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Has(DWORD attributes, DWORD flag) { return (attributes & flag) != 0; }

SysError Refusal(ErrorKind kind) { return SysError{kind, 0, {}}; }

// The \\?\ form of a path the layer may touch; device and relative paths are refused.
Failure SystemPath(const std::string& path, std::wstring& systemPath) {
    std::optional<std::wstring> form = ForFileCall(path);
    if (!form) return ErrorFromCode(ERROR_INVALID_NAME);
    systemPath = std::move(*form);
    return std::nullopt;
}

// A folder's form ends in "\": "\\?\C:" without it is the volume, not its root folder.
Failure SystemFolderPath(const std::string& folder, std::wstring& systemPath) {
    if (Failure failed = SystemPath(folder, systemPath)) return failed;
    if (systemPath.back() != L'\\') systemPath += L'\\';
    return std::nullopt;
}

DirEntry EntryFrom(const WIN32_FIND_DATAW& data) {
    // dwReserved0 holds the reparse tag only when the entry is a reparse point.
    const DWORD tag = Has(data.dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
    DirEntry entry;
    entry.name = Narrow(data.cFileName);
    entry.kind = KindFromAttributes(data.dwFileAttributes, tag);
    entry.linkToDirectory = entry.kind == EntryKind::Link && Has(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    entry.isHidden = Has(data.dwFileAttributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return entry;
}


Failure Duplicate(HANDLE handle, unique_hfile& copy) {
    HANDLE duplicate = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &duplicate, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        return LastError();
    }
    copy.reset(duplicate);
    return std::nullopt;
}

// Whether the opened entry is the listed one: its final path must be its folder's and its own
// name. Links Windows reports are opened as themselves and pass; a link Wine does not report
// (a Unix symbolic link looks like a plain file) was followed and shows its target's path.
Failure CheckPlace(const ListedEntry& entry, HANDLE handle, bool& atPlace) {
    std::wstring entryPath;
    if (Failure failed = FinalPathOf(handle, entryPath)) return failed;
    const Placement place = PlaceOf(entry.folderPath, entry.name, entryPath);
    atPlace = place == Placement::Listed;
    if (place == Placement::ListedInOtherCase) {
        std::wstring stored;
        if (Failure failed = StoredName(entry.systemPath, stored)) return failed;
        atPlace = EndsInName(entryPath, stored);
        return std::nullopt;
    }
    if (place != Placement::ListedAsWineReportsIt) return std::nullopt;

    // Wine reports "report." as "report": fine, unless "report" is this very file, reached
    // through "report." as a link.
    const std::wstring_view sibling = WithoutTrailingDotsAndSpaces(entry.name);
    if (sibling.empty()) return std::nullopt;
    unique_hfile other;
    if (Failure failed = OpenInFolder(entry.folder.get(), sibling, FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                      FILE_OPEN_REPARSE_POINT, other)) {
        if (failed->kind != ErrorKind::NotFound) return failed;
        atPlace = true;
        return std::nullopt;
    }
    FileId otherId;
    if (Failure failed = IdOf(other.get(), entry.volume, otherId)) return failed;
    atPlace = !(otherId == entry.id);
    return std::nullopt;
}

// Whether the entry's final name differs from the listed one only because the listed one is its
// 8.3 short name ("REPORT~1.TXT"): the system's own answer for the name, not a link.
bool IsShortNameOf(const ListedEntry& entry, HANDLE handle) {
    if (entry.name.find(L'~') == std::wstring::npos) return false;
    std::wstring entryPath;
    if (FinalPathOf(handle, entryPath)) return false;
    WIN32_FIND_DATAW data{};
    const unique_hfind find(
        ::FindFirstFileExW(entry.systemPath.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) return false;
    return EndsInName(entryPath, data.cFileName) &&
           ::CompareStringOrdinal(data.cAlternateFileName, -1, entry.name.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

Failure Win32FileSystem::holdListedFolder(const ListedFile& file, ListedEntry& entry) {
    if (Failure failed = SystemPath(file.path, entry.systemPath)) return failed;
    const std::size_t cut = entry.systemPath.rfind(L'\\');
    entry.name = entry.systemPath.substr(cut + 1);
    if (entry.name.empty() || entry.name == L"." || entry.name == L"..") return ErrorFromCode(ERROR_INVALID_NAME);
    if (!file.folder) return Refusal(ErrorKind::ChangedSinceListed);
    // The folder of the previous file, still held since it was checked: nothing can have taken
    // its place. Listed files mostly come folder by folder.
    if (heldFolder_ && heldId_ == *file.folder) {
        entry.folderPath = heldPath_;
        entry.volume = heldVolume_;
        return Duplicate(heldFolder_.get(), entry.folder);
    }

    FileId id;
    if (Failure failed = OpenFolder(entry.systemPath.substr(0, cut + 1), entry.folder, id, entry.volume)) {
        return failed;
    }
    if (!(id == *file.folder)) return Refusal(ErrorKind::ChangedSinceListed);
    if (Failure failed = FinalPathOf(entry.folder.get(), entry.folderPath)) return failed;
    if (Failure failed = Duplicate(entry.folder.get(), heldFolder_)) return failed;
    heldId_ = id;
    heldPath_ = entry.folderPath;
    heldVolume_ = entry.volume;
    return std::nullopt;
}

void Win32FileSystem::workEnded() { heldFolder_.reset(); }

// Opens the entry at the listed place to look at it only: never following a final link, with
// no access that could change it and sharing everything. Changing it needs a second open.
Failure Win32FileSystem::findAtListedPlace(const ListedFile& file, FoundEntry& found) {
    if (Failure failed = holdListedFolder(file, found.listed)) return failed;
    if (Failure failed = OpenInFolder(found.listed.folder.get(), found.listed.name, FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      kShareAll, FILE_OPEN_REPARSE_POINT, found.handle)) {
        return failed;
    }
    if (Failure failed = FactsOf(found.handle.get(), found.listed.volume, found.facts)) return failed;
    found.listed.id = found.facts.id;
    if (Failure failed = CheckPlace(found.listed, found.handle.get(), found.atListedPlace)) return failed;
    if (!found.atListedPlace) found.byShortName = IsShortNameOf(found.listed, found.handle.get());
    return std::nullopt;
}

namespace {

// Opens the found entry again with the access the work needs, and keeps it only if it is still
// the same file: between the two opens its name may have been given to another.
Failure Reopen(const ListedEntry& entry, ACCESS_MASK access, ULONG share, ULONG options, unique_hfile& handle) {
    unique_hfile opened;
    if (Failure failed = OpenInFolder(entry.folder.get(), entry.name, access, share, options, opened)) return failed;
    FileId id;
    if (Failure failed = IdOf(opened.get(), entry.volume, id)) return failed;
    if (!(id == entry.id)) return Refusal(ErrorKind::ChangedSinceListed);
    handle = std::move(opened);
    return std::nullopt;
}

// What the handle opened for writing says, not what a look a moment before said: the file may
// have been compressed or encrypted in between.
Failure CheckStillReachable(HANDLE handle, ListedEntry& entry) {
    DWORD tag = 0;
    if (Failure failed = AttributesOf(handle, entry.attributes, tag)) return failed;
    if (const auto unreachable = StorageZerosCannotReach(entry.attributes, tag)) return Refusal(*unreachable);
    return std::nullopt;
}

}  // namespace

std::string Win32FileSystem::absolutePath(const std::string& path) { return Narrow(AbsolutePath(Widen(path))); }

Failure Win32FileSystem::identifyFolder(const std::string& folder, FileId& id) {
    std::wstring systemFolder;
    if (Failure failed = SystemFolderPath(folder, systemFolder)) return failed;
    unique_hfile held;
    VolumeFacts volume;
    return OpenFolder(systemFolder, held, id, volume);
}

Failure Win32FileSystem::listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) {
    std::wstring systemFolder;
    if (Failure failed = SystemFolderPath(folder, systemFolder)) return failed;
    // Held while it is read, so the entries are those of the folder identified.
    unique_hfile held;
    VolumeFacts volume;
    if (Failure failed = OpenFolder(systemFolder, held, folderId, volume)) return failed;

    WIN32_FIND_DATAW data{};
    const unique_hfind find(::FindFirstFileExW((systemFolder + L"*").c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        // A drive root has no "." or "..": an empty one has nothing at all to report.
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return std::nullopt;
        return ErrorFromCode(code);
    }
    do {
        const std::wstring_view name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        if (onEntry(EntryFrom(data)) == ListingStep::Stop) return std::nullopt;
    } while (::FindNextFileW(find.get(), &data));

    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) return ErrorFromCode(code);
    return std::nullopt;
}

std::optional<EntryKind> Win32FileSystem::kindOf(const std::string& path) {
    std::wstring systemPath;
    if (SystemPath(path, systemPath)) return std::nullopt;
    // The attributes of the entry itself, not of what a link leads to.
    const DWORD attributes = ::GetFileAttributesW(systemPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    DWORD tag = 0;
    if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) {
        // The folder's listing tells the tag without opening what the link leads to. Should it
        // fail, the tag stays 0 and the entry counts as a link: never walked into.
        while (!systemPath.empty() && systemPath.back() == L'\\') systemPath.pop_back();
        WIN32_FIND_DATAW data{};
        const unique_hfind find(
            ::FindFirstFileExW(systemPath.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
        if (find) tag = data.dwReserved0;
    }
    return KindFromAttributes(attributes, tag);
}

Failure Win32FileSystem::resetAttributes(const ListedFile& file, std::uint64_t& length) {
    length = 0;
    FoundEntry found;
    if (Failure failed = findAtListedPlace(file, found)) return failed;
    // A link, a folder or a device keeps its attributes; opening it for the overwrite says why.
    if (!found.atListedPlace || KindOf(found.facts) != EntryKind::File) return std::nullopt;
    // Storage the run leaves alone keeps even its attributes.
    if (StorageZerosCannotReach(found.facts.attributes, found.facts.reparseTag)) return std::nullopt;
    length = found.facts.length;

    constexpr DWORD kCleared =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (!Has(found.facts.attributes, kCleared)) return std::nullopt;
    unique_hfile handle;
    if (Failure failed = Reopen(found.listed, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, handle)) {
        return failed;
    }
    FILE_BASIC_INFO basic{};  // times of 0 are left as they are
    basic.FileAttributes = found.facts.attributes & ~kCleared;
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    // By the handle just checked, never by path: a path could lead elsewhere by now.
    if (!Api().setFileInformationByHandle(handle.get(), FileBasicInfo, &basic, sizeof basic)) return LastError();
    return std::nullopt;
}

OpenOutcome Win32FileSystem::openForOverwrite(const ListedFile& file) {
    OpenOutcome outcome;
    FoundEntry found;
    if (Failure failed = findAtListedPlace(file, found)) {
        outcome.error = failed;
        return outcome;
    }
    if (!found.atListedPlace) {
        outcome.error = Refusal(found.byShortName ? ErrorKind::ListedByShortName : ErrorKind::LinkLeftAlone);
        return outcome;
    }

    unique_hfile handle;
    Failure failed;
    switch (KindOf(found.facts)) {
        case EntryKind::Link:
            // The link itself: deleting through this handle removes the link, never its target.
            failed = Reopen(found.listed, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN_REPARSE_POINT, handle);
            outcome.isLink = true;
            break;
        case EntryKind::File: {
            // Decided before the file is opened for writing: for a cloud or deduplicated file
            // even that open may go to its filter.
            if (const auto unreachable = StorageZerosCannotReach(found.facts.attributes, found.facts.reparseTag)) {
                failed = Refusal(*unreachable);
                break;
            }
            // Data behind a reparse point that is not a link is served by its filter driver.
            found.listed.servedByFilter = Has(found.facts.attributes, FILE_ATTRIBUTE_REPARSE_POINT);
            const ULONG options =
                FILE_NON_DIRECTORY_FILE | (found.listed.servedByFilter ? 0 : FILE_OPEN_REPARSE_POINT);
            // Shared with no one: nothing else writes, truncates, renames, compresses or deletes
            // it meanwhile, so what this handle says of it holds until the run closes it.
            failed = Reopen(found.listed, GENERIC_READ | GENERIC_WRITE | DELETE | SYNCHRONIZE, 0, options, handle);
            if (!failed) failed = CheckStillReachable(handle.get(), found.listed);
            break;
        }
        case EntryKind::Directory:
        case EntryKind::Other:
            failed = Refusal(ErrorKind::NotARegularFile);
            break;
    }
    if (failed) {
        outcome.isLink = false;
        outcome.error = failed;
        return outcome;
    }
    outcome.file = std::make_unique<Win32OpenedFile>(std::move(found.listed), std::move(handle));
    return outcome;
}

}  // namespace shredder::win32

namespace shredder {

std::unique_ptr<FileSystem> MakeNativeFileSystem() { return std::make_unique<win32::Win32FileSystem>(); }

}  // namespace shredder
