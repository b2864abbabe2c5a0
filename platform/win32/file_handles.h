#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"

#include <winternl.h>

namespace shredder::win32 {

// Opening files by handle rather than by path, and what an open handle says about its file.

// Opens the folder at `systemPath` (the \\?\ form, ending in "\" so that a drive root is never
// taken for its volume), through any link on the way. Others may read and write in it but not
// rename, move or delete it while it is held. Fails for anything that is not a folder.
Failure OpenFolder(const std::wstring& systemPath, unique_hfile& folder, FileId& id);

// Opens an existing entry of an open folder by its bare name through NtCreateFile, relative to
// the folder handle: no DOS name rules apply, so "com1", "nul" and "report." are ordinary names,
// and no path is looked up again. Never creates or truncates.
Failure OpenInFolder(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share, ULONG options,
                     unique_hfile& file);

struct HandleFacts {
    FileId id;
    DWORD attributes = 0;
    DWORD reparseTag = 0;  // 0 unless FILE_ATTRIBUTE_REPARSE_POINT
    DWORD names = 0;       // hard links
    std::uint64_t length = 0;
    bool onDisk = false;   // FILE_TYPE_DISK: not a device, pipe or console
};
Failure FactsOf(HANDLE handle, HandleFacts& facts);

// What kind of entry an opened handle is on.
EntryKind KindOf(const HandleFacts& facts);

Failure IdOf(HANDLE handle, FileId& id);

// The path the system holds for an open handle, with links resolved: "C:\d\f" or
// "UNC\server\share\f", or the NT form for a volume without a drive letter. Two handles on
// the same volume get their paths in the same form.
Failure FinalPathOf(HANDLE handle, std::wstring& path);

// A failed NT call in the terms of GetLastError().
SysError ErrorFromStatus(NTSTATUS status);

}  // namespace shredder::win32
