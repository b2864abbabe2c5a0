#pragma once

#include "platform/file_system.h"

namespace shredder::win32 {

// The file system through kernel32's W functions. Every path goes through ForFileCall, so
// long paths and any script work; reparse points are never followed.
class Win32FileSystem final : public FileSystem {
public:
    Failure resetAttributes(const std::string& path) override;
    OpenOutcome openForOverwrite(const std::string& path) override;
    Failure remove(const std::string& path) override;
    Failure listDirectory(const std::string& folder, const std::function<void(const DirEntry&)>& onEntry) override;
    PathKind kindOf(const std::string& path) override;
};

}  // namespace shredder::win32
