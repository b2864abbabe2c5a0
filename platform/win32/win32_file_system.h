#pragma once

// The Win32 file system.
#include "platform/file_system.h"
#include <string>

#include "platform/win32/file_facts.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

struct ListedEntry;
struct FoundEntry;

// The file system through kernel32 and NtCreateFile. Every name is taken literally: paths go to
// the system in the \\?\ form, and listed files are opened by name relative to their folder's
// handle. A listed file is written only when it is found in the very folder it was listed in,
// and a link is never written through.
class Win32FileSystem final : public FileSystem {
public:
    std::string absolutePath(const std::string& path) override;
    Failure identifyFolder(const std::string& folder, FileId& id) override;
    Failure listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) override;
    std::optional<EntryKind> kindOf(const std::string& path) override;
    Failure resetAttributes(const ListedFile& file, std::uint64_t& length) override;
    OpenOutcome openForOverwrite(const ListedFile& file) override;
    void workEnded() override;

private:
    Failure holdListedFolder(const ListedFile& file, ListedEntry& entry);
    Failure findAtListedPlace(const ListedFile& file, FoundEntry& found);

    // The last listed folder checked, held between files so the next file in it needs no new
    // check; let go when the work ends, so the user can rename or delete it again.
    unique_hfile heldFolder_;
    FileId heldId_;
    std::wstring heldPath_;  // its final path
    VolumeFacts heldVolume_;
};

}  // namespace shredder::win32
