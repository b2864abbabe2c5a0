#pragma once

#include "platform/file_system.h"

namespace shredder::posix {

// The file system of a POSIX system. A name starting with "." counts as hidden; there are no
// other attributes to clear than the owner's missing write permission.
class PosixFileSystem : public FileSystem {
public:
    Failure resetAttributes(const std::string& path) override;
    OpenOutcome openForOverwrite(const std::string& path) override;
    Failure remove(const std::string& path) override;
    Failure listDirectory(const std::string& folder,
                          const std::function<void(const DirEntry&)>& onEntry) override;
    PathKind kindOf(const std::string& path) override;
};

}  // namespace shredder::posix
