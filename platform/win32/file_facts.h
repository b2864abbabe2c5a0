#pragma once

// What the file-system layer learns from handles and names: relative opens, identities, kinds,
// allocated ranges and stream names. The pure parts take values, so they are tested without
// Windows.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include <winioctl.h>
#include <winternl.h>

#include "platform/file_system.h"

namespace shredder::win32 {

// Opening files by handle rather than by path, and what an open handle says about its file.

// What a volume can do (GetVolumeInformationByHandleW), read once for each folder the layer
// holds, so that a file is asked only what its file system has. A volume that cannot say (Wine
// answers ERROR_INVALID_FUNCTION on its mounted Linux file systems) is asked everything, and a
// refusal there means the thing is not there.
struct VolumeFacts {
    bool known = false;
    DWORD serial = 0;
    DWORD flags = 0;          // FILE_NAMED_STREAMS, FILE_SUPPORTS_SPARSE_FILES, ...
    std::wstring fileSystem;  // "NTFS", "FAT32", "exFAT", "ReFS"

    // Worth asking: the volume says so, or says nothing.
    bool mayHave(DWORD flag) const { return !known || (flags & flag) != 0; }
    // The volume says so: a refusal of that call is a failure, never "there is none".
    bool claims(DWORD flag) const { return known && (flags & flag) != 0; }
    // 128-bit file ids (FileIdInfo) exist on NTFS and ReFS, the volumes that open by file id;
    // FAT32 and exFAT have only the 64-bit index.
    bool hasFileIds() const { return claims(FILE_SUPPORTS_OPEN_BY_FILE_ID); }
};

// Opens the folder at `systemPath` (the \\?\ form, ending in "\" so that a drive root is never
// taken for its volume), through any link on the way, and reads its volume. Others may read and
// write in it but not rename, move or delete it while it is held. Fails for anything that is not
// a folder.
Failure OpenFolder(const std::wstring& systemPath, unique_hfile& folder, FileId& id, VolumeFacts& volume);

// Opens an existing entry of an open folder by its bare name through NtCreateFile, relative to
// the folder handle: no DOS name rules apply, so "com1", "nul" and "report." are ordinary names,
// and no path is looked up again. Never creates or truncates. `exactCase` asks for the name as
// spelt: Windows looks names up without case all the same, but Wine then spares itself reading
// the whole folder for another spelling when the name is not there.
Failure OpenInFolder(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share, ULONG options,
                     unique_hfile& file, bool exactCase = false);

struct HandleFacts {
    FileId id;
    DWORD attributes = 0;
    DWORD reparseTag = 0;  // 0 unless FILE_ATTRIBUTE_REPARSE_POINT
    DWORD names = 0;       // hard links
    std::uint64_t length = 0;
    bool onDisk = false;   // FILE_TYPE_DISK: not a device, pipe or console
};
// An entry's facts; `volume` is its folder's (an entry opened inside a folder is on its volume).
// The reparse tag is asked for only when the attributes say there is one: FAT32 and exFAT
// refuse FileAttributeTagInfo.
Failure FactsOf(HANDLE handle, const VolumeFacts& volume, HandleFacts& facts);

// The attributes of an open file and, for a reparse point, its tag.
Failure AttributesOf(HANDLE handle, DWORD& attributes, DWORD& reparseTag);

// What kind of entry an opened handle is on.
EntryKind KindOf(const HandleFacts& facts);

// An entry's identity on its folder's volume.
Failure IdOf(HANDLE handle, const VolumeFacts& volume, FileId& id);

// The path the system holds for an open handle, with links resolved: "C:\d\f" or
// "UNC\server\share\f", or the NT form for a volume without a drive letter. Two handles on
// the same volume get their paths in the same form.
Failure FinalPathOf(HANDLE handle, std::wstring& path);

// A failed NT call in the terms of GetLastError().
SysError ErrorFromStatus(NTSTATUS status);

// What the system reports about files, read into the portable terms. Pure functions, so the
// answers Wine never gives (reparse tags, sparse ranges, stream names) can be tested with values.

// What an entry is, from its attributes and, when FILE_ATTRIBUTE_REPARSE_POINT is set, its tag
// (WIN32_FIND_DATAW::dwReserved0, FILE_ATTRIBUTE_TAG_INFO::ReparseTag). Only name surrogates
// (symbolic links, junctions) are links; other reparse points (cloud placeholders, deduplicated
// or compressed files) hold data. A reparse point without a tag is taken for a link, as Wine
// reports its folder links that way.
EntryKind KindFromAttributes(DWORD attributes, DWORD reparseTag);

// The ranges of a file of `length` bytes that hold data, from the answers of
// FSCTL_QUERY_ALLOCATED_RANGES: clipped to the length, sorted, overlapping or touching ranges
// merged.
std::vector<ByteRange> DataRangesWithin(std::span<const FILE_ALLOCATED_RANGE_BUFFER> allocated,
                                        std::uint64_t length);

// Files whose old bytes zeros written in place would not reach, from the attributes and reparse
// tag of an open handle; nullopt for a file that can be overwritten where it lies.
// - NTFS compressed and EFS-encrypted files are kept in 16-cluster units: a write puts the new
//   data in newly allocated clusters and frees the old ones unwritten (SDelete's documentation),
//   and a unit of zeros takes no cluster at all.
// - WOF (IO_REPARSE_TAG_WOF): the data is in a compressed stream or a WIM; a write decompresses
//   the file into new clusters.
// - Deduplicated (IO_REPARSE_TAG_DEDUP): the data is in the volume's chunk store.
// - A cloud file whose data is not here (FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS or OFFLINE on a
//   reparse point that holds data): a write would first download all of it.
std::optional<ErrorKind> StorageZerosCannotReach(DWORD attributes, DWORD reparseTag);

// The whole file as one range; none for an empty file.
std::vector<ByteRange> WholeFile(std::uint64_t length);

// The stream's own name in a FindFirstStreamW answer (":Zone.Identifier:$DATA" gives
// "Zone.Identifier"); nullopt for the main stream "::$DATA" and for anything but a data stream.
std::optional<std::wstring> NamedStreamName(std::wstring_view findName);

// The names of the named data streams in a FileStreamInfo answer of `bytes` bytes, without the
// main stream; nullopt when the entries do not fit in the answer.
std::optional<std::vector<std::wstring>> NamedStreamsIn(const void* answer, std::size_t bytes);

// Whether a name may be used as a stream name: no separators, no colon, not empty.
bool IsPlainStreamName(std::wstring_view name);

enum class Placement {
    Listed,                 // the final path is the listed folder and name
    ListedInOtherCase,      // the same but for case: only if the folder spells the listed name so
    ListedAsWineReportsIt,  // the same once trailing dots and spaces are dropped
    Elsewhere,              // reached through a link the system did not report
};

// Where an opened entry is, from the final paths (GetFinalPathNameByHandleW) of the listed folder
// and of the entry opened in it under `listedName`. The last name is compared exactly: where
// names are case-sensitive (Linux under Wine) "report.txt" can be a link to "REPORT.txt", which
// is another file. A name typed in another case is the file itself when the folder's own
// spelling of it (StoredName) is the final one. Wine drops trailing dots from every component
// and a trailing space from the last one, so "report." comes back as "report": such a match can
// also be a link to the sibling "report", which the caller must rule out.
Placement PlaceOf(std::wstring_view folderFinalPath, std::wstring_view listedName, std::wstring_view entryFinalPath);

// The name of the entry at `systemPath` as its folder stores it: the system looks names up
// without case, so a name given in another case finds the entry under its own spelling.
Failure StoredName(const std::wstring& systemPath, std::wstring& name);

// Whether a final path ends in exactly this name.
bool EndsInName(std::wstring_view finalPath, std::wstring_view name);

// A name as Wine gives it back: trailing dots and spaces dropped.
std::wstring_view WithoutTrailingDotsAndSpaces(std::wstring_view name);

}  // namespace shredder::win32
