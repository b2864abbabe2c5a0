#pragma once

// The POSIX file system (Linux tests, shred-bench and the forensic check).
#include <memory>

#include "platform/file_system.h"

namespace shredder::posix {

// The file system of a POSIX system. A name starting with "." counts as hidden; the only
// attribute to clear is the owner's missing write permission. Every listed file is reached
// through a descriptor of its checked folder and opened without following a link.
struct CheckedFolder;

class PosixFileSystem : public FileSystem {
public:
    PosixFileSystem();
    ~PosixFileSystem() override;

    std::string absolutePath(const std::string& path) override;
    Failure identifyFolder(const std::string& folder, FileId& id) override;
    Failure listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) override;
    std::optional<EntryKind> kindOf(const std::string& path) override;
    Failure resetAttributes(const ListedFile& file, std::uint64_t& length) override;
    OpenOutcome openForOverwrite(const ListedFile& file) override;
    void workEnded() override;

private:
    struct HeldFolder;
    CheckedFolder openListedFolder(const ListedFile& listed);
    std::shared_ptr<HeldFolder> held_;
};

// The reason behind an errno value, with the system's own wording kept for the message.
SysError ErrorFromErrno(int error);

}  // namespace shredder::posix
