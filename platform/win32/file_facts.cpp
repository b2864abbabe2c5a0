// What the Win32 layer learns from handles, names and volumes, and the pure readings of the
// system's answers.
#include "platform/win32/file_facts.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/win32/file_api.h"
#include "platform/win32/win32_text.h"

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

namespace {

// The volume of an open handle. A volume that cannot say is left unknown: it is then asked
// every question, as it always was.
void ReadVolume(HANDLE handle, VolumeFacts& volume) {
    wchar_t name[MAX_PATH + 1] = {};
    DWORD serial = 0, flags = 0;
    volume = VolumeFacts{};
    if (!Api().getVolumeInformationByHandle(handle, nullptr, 0, &serial, nullptr, &flags, name, MAX_PATH + 1)) return;
    volume.known = true;
    volume.serial = serial;
    volume.flags = flags;
    volume.fileSystem = name;
}

}  // namespace

Failure OpenFolder(const std::wstring& systemPath, unique_hfile& folder, FileId& id, VolumeFacts& volume) {
    // Without FILE_SHARE_DELETE nobody can rename the folder and put another in its place.
    unique_hfile handle(::CreateFileW(systemPath.c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return LastError();
    ReadVolume(handle.get(), volume);
    DWORD attributes = 0;
    if (volume.known) {
        FILE_BASIC_INFO basic{};
        if (!ReadInfo(handle.get(), FileBasicInfo, basic)) return LastError();
        attributes = basic.FileAttributes;
        if (Failure failed = IdOf(handle.get(), volume, id)) return failed;
    } else {
        // The serial the volume would not tell, from the one call that tells it with the index.
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle.get(), &info)) return LastError();
        attributes = info.dwFileAttributes;
        volume.serial = info.dwVolumeSerialNumber;
        id = IdFrom(info);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return ErrorFromCode(ERROR_DIRECTORY);
    folder = std::move(handle);
    return std::nullopt;
}

namespace {

// A bare name relative to an open folder, as the NT calls take it.
struct NameInFolder {
    UNICODE_STRING text{};
    OBJECT_ATTRIBUTES attributes{};
};

Failure NameIn(HANDLE folder, std::wstring_view name, NameInFolder& named, ULONG caseRule = OBJ_CASE_INSENSITIVE) {
    constexpr std::size_t kLongestName = 0x7FFF;  // UNICODE_STRING counts bytes in 16 bits
    if (name.empty() || name.size() > kLongestName) return ErrorFromCode(ERROR_FILENAME_EXCED_RANGE);
    named.text.Buffer = const_cast<PWSTR>(name.data());
    named.text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    named.text.MaximumLength = named.text.Length;
    InitializeObjectAttributes(&named.attributes, &named.text, caseRule, folder, nullptr);
    return std::nullopt;
}

}  // namespace

Failure OpenInFolder(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share, ULONG options,
                     unique_hfile& file, bool exactCase) {
    NameInFolder named;
    if (Failure failed = NameIn(folder, name, named, exactCase ? 0 : OBJ_CASE_INSENSITIVE)) return failed;
    OBJECT_ATTRIBUTES& attributes = named.attributes;
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    const NTSTATUS status = ::NtCreateFile(&handle, access, &attributes, &io, nullptr, 0, share, FILE_OPEN,
                                           options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (!NT_SUCCESS(status)) return ErrorFromStatus(status);
    file.reset(handle);
    return std::nullopt;
}

// The file's index on its volume. Asking for the volume's serial number as well, as
// GetFileInformationByHandle does, costs almost a millisecond a call under Wine: entries are
// always opened inside a folder already held, whose volume is theirs.
Failure IndexOf(HANDLE handle, std::uint64_t& index) {
    IO_STATUS_BLOCK io{};
    FILE_INTERNAL_INFORMATION internal{};
    const NTSTATUS status = ::NtQueryInformationFile(handle, &io, &internal, sizeof internal, FileInternalInformation);
    if (!NT_SUCCESS(status)) return ErrorFromStatus(status);
    index = static_cast<std::uint64_t>(internal.IndexNumber.QuadPart);
    return std::nullopt;
}

Failure AttributesOf(HANDLE handle, DWORD& attributes, DWORD& reparseTag) {
    FILE_BASIC_INFO basic{};
    if (!ReadInfo(handle, FileBasicInfo, basic)) return LastError();
    attributes = basic.FileAttributes;
    reparseTag = 0;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return std::nullopt;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!ReadInfo(handle, FileAttributeTagInfo, tag)) return LastError();
    reparseTag = tag.ReparseTag;
    return std::nullopt;
}

Failure FactsOf(HANDLE handle, const VolumeFacts& volume, HandleFacts& facts) {
    if (Failure failed = AttributesOf(handle, facts.attributes, facts.reparseTag)) return failed;
    FILE_STANDARD_INFO standard{};
    if (!ReadInfo(handle, FileStandardInfo, standard)) return LastError();
    if (Failure failed = IdOf(handle, volume, facts.id)) return failed;
    ::SetLastError(NO_ERROR);  // FILE_TYPE_UNKNOWN is also a valid answer
    const DWORD type = ::GetFileType(handle);
    if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR) return LastError();

    facts.names = standard.NumberOfLinks;
    facts.length = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    facts.onDisk = type == FILE_TYPE_DISK;
    return std::nullopt;
}

EntryKind KindOf(const HandleFacts& facts) {
    return facts.onDisk ? KindFromAttributes(facts.attributes, facts.reparseTag) : EntryKind::Other;
}

Failure IdOf(HANDLE handle, const VolumeFacts& volume, FileId& id) {
    id = FileId{volume.serial, 0, 0};
    if (!volume.hasFileIds()) return IndexOf(handle, id.index);
    FILE_ID_INFO info{};
    if (!ReadInfo(handle, FileIdInfo, info)) return LastError();
    static_assert(sizeof info.FileId.Identifier == 2 * sizeof(std::uint64_t));
    std::memcpy(&id.index, info.FileId.Identifier, sizeof id.index);
    std::memcpy(&id.high, info.FileId.Identifier + sizeof id.index, sizeof id.high);
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

namespace {

// The special files of WSL and AF_UNIX sockets: no data to overwrite, nothing to follow.
constexpr DWORD kTagLxFifo = 0x80000024;
constexpr DWORD kTagLxCharacterDevice = 0x80000025;
constexpr DWORD kTagLxBlockDevice = 0x80000026;

bool Has(DWORD attributes, DWORD flag) { return (attributes & flag) != 0; }

// File names compare without case, as the system looks them up.
bool SameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool SameAsWineReportsIt(std::wstring_view a, std::wstring_view b) {
    return SameText(WithoutTrailingDotsAndSpaces(a), WithoutTrailingDotsAndSpaces(b));
}

std::vector<std::wstring_view> Components(std::wstring_view path) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    for (std::size_t cut = path.find(L'\\'); cut != std::wstring_view::npos; cut = path.find(L'\\', start)) {
        parts.push_back(path.substr(start, cut - start));
        start = cut + 1;
    }
    parts.push_back(path.substr(start));
    return parts;
}

}  // namespace

EntryKind KindFromAttributes(DWORD attributes, DWORD reparseTag) {
    if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag)) return EntryKind::Link;
        if (reparseTag == static_cast<DWORD>(IO_REPARSE_TAG_AF_UNIX) || reparseTag == kTagLxFifo ||
            reparseTag == kTagLxCharacterDevice || reparseTag == kTagLxBlockDevice) {
            return EntryKind::Other;
        }
    }
    if (Has(attributes, FILE_ATTRIBUTE_DIRECTORY)) return EntryKind::Directory;
    if (Has(attributes, FILE_ATTRIBUTE_DEVICE)) return EntryKind::Other;
    return EntryKind::File;
}

std::vector<ByteRange> DataRangesWithin(std::span<const FILE_ALLOCATED_RANGE_BUFFER> allocated,
                                        std::uint64_t length) {
    std::vector<ByteRange> ranges;
    for (const FILE_ALLOCATED_RANGE_BUFFER& range : allocated) {
        if (range.FileOffset.QuadPart < 0 || range.Length.QuadPart <= 0) continue;
        const auto begin = static_cast<std::uint64_t>(range.FileOffset.QuadPart);
        if (begin >= length) continue;
        const std::uint64_t size = std::min(static_cast<std::uint64_t>(range.Length.QuadPart), length - begin);
        ranges.push_back({begin, size});
    }
    std::sort(ranges.begin(), ranges.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });

    std::vector<ByteRange> merged;
    for (const ByteRange& range : ranges) {
        if (!merged.empty() && range.offset <= merged.back().offset + merged.back().length) {
            ByteRange& last = merged.back();
            last.length = std::max(last.offset + last.length, range.offset + range.length) - last.offset;
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}

std::optional<ErrorKind> StorageZerosCannotReach(DWORD attributes, DWORD reparseTag) {
    // FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS, which mingw-w64's headers do not have yet.
    constexpr DWORD kRecallOnDataAccess = 0x00400000;
    constexpr DWORD kNotHere = kRecallOnDataAccess | FILE_ATTRIBUTE_OFFLINE;
    if (Has(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (reparseTag == static_cast<DWORD>(IO_REPARSE_TAG_DEDUP)) return ErrorKind::Deduplicated;
        if (reparseTag == static_cast<DWORD>(IO_REPARSE_TAG_WOF)) return ErrorKind::ExternallyBacked;
        if (KindFromAttributes(attributes, reparseTag) == EntryKind::File && Has(attributes, kNotHere)) {
            return ErrorKind::CloudNotHere;
        }
    }
    if (Has(attributes, FILE_ATTRIBUTE_ENCRYPTED)) return ErrorKind::Encrypted;
    if (Has(attributes, FILE_ATTRIBUTE_COMPRESSED)) return ErrorKind::Compressed;
    return std::nullopt;
}

std::vector<ByteRange> WholeFile(std::uint64_t length) {
    if (length == 0) return {};
    return {ByteRange{0, length}};
}

std::optional<std::wstring> NamedStreamName(std::wstring_view findName) {
    if (findName.size() < 2 || findName.front() != L':') return std::nullopt;
    const std::size_t typeColon = findName.rfind(L':');
    if (typeColon == 0 || !SameText(findName.substr(typeColon + 1), L"$DATA")) return std::nullopt;
    const std::wstring_view name = findName.substr(1, typeColon - 1);
    if (name.empty()) return std::nullopt;
    return std::wstring(name);
}

std::optional<std::vector<std::wstring>> NamedStreamsIn(const void* answer, std::size_t bytes) {
    std::vector<std::wstring> names;
    const auto* base = static_cast<const unsigned char*>(answer);
    constexpr std::size_t kHeader = offsetof(FILE_STREAM_INFO, StreamName);
    for (std::size_t at = 0; bytes != 0;) {
        if (at > bytes || bytes - at < kHeader) return std::nullopt;
        FILE_STREAM_INFO entry;
        std::memcpy(&entry, base + at, kHeader);
        if (entry.StreamNameLength % sizeof(wchar_t) != 0 || entry.StreamNameLength > bytes - at - kHeader) {
            return std::nullopt;
        }
        std::wstring name(entry.StreamNameLength / sizeof(wchar_t), L'\0');
        std::memcpy(name.data(), base + at + kHeader, entry.StreamNameLength);
        if (std::optional<std::wstring> named = NamedStreamName(name)) names.push_back(std::move(*named));
        if (entry.NextEntryOffset == 0) break;
        // Each entry lies after the one before, so a malformed answer cannot loop.
        if (entry.NextEntryOffset < kHeader) return std::nullopt;
        at += entry.NextEntryOffset;
    }
    return names;
}

bool IsPlainStreamName(std::wstring_view name) {
    return !name.empty() && name.find_first_of(std::wstring_view(L":\\/\0", 4)) == std::wstring_view::npos;
}

Placement PlaceOf(std::wstring_view folderFinalPath, std::wstring_view listedName, std::wstring_view entryFinalPath) {
    while (!folderFinalPath.empty() && folderFinalPath.back() == L'\\') folderFinalPath.remove_suffix(1);
    const std::size_t cut = entryFinalPath.rfind(L'\\');
    if (cut == std::wstring_view::npos) return Placement::Elsewhere;
    const std::wstring_view entryFolder = entryFinalPath.substr(0, cut);
    const std::wstring_view entryName = entryFinalPath.substr(cut + 1);

    const std::vector<std::wstring_view> expected = Components(folderFinalPath);
    const std::vector<std::wstring_view> found = Components(entryFolder);
    if (expected.size() != found.size()) return Placement::Elsewhere;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (!SameAsWineReportsIt(expected[i], found[i])) return Placement::Elsewhere;
    }
    if (entryName == listedName) return Placement::Listed;
    if (entryName == WithoutTrailingDotsAndSpaces(listedName)) return Placement::ListedAsWineReportsIt;
    if (SameText(entryName, listedName)) return Placement::ListedInOtherCase;
    return Placement::Elsewhere;
}

Failure StoredName(const std::wstring& systemPath, std::wstring& name) {
    // A wildcard would let the search answer with some other entry's name.
    const std::size_t cut = systemPath.rfind(L'\\');
    if (systemPath.find_first_of(L"*?<>\"", cut == std::wstring::npos ? 0 : cut) != std::wstring::npos) {
        return ErrorFromCode(ERROR_INVALID_NAME);
    }
    WIN32_FIND_DATAW data{};
    const unique_hfind find(
        ::FindFirstFileExW(systemPath.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) return LastError();
    name = data.cFileName;
    return std::nullopt;
}

bool EndsInName(std::wstring_view finalPath, std::wstring_view name) {
    const std::size_t cut = finalPath.rfind(L'\\');
    return cut != std::wstring_view::npos && finalPath.substr(cut + 1) == name;
}

std::wstring_view WithoutTrailingDotsAndSpaces(std::wstring_view name) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
    return name;
}

}  // namespace shredder::win32
