#pragma once

#include "platform/file_system.h"

namespace shredder::testing {

// Hands every call to another file system; decorators override only what they watch or break.
class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

    Failure resetAttributes(const std::string& path) override { return inner_.resetAttributes(path); }
    OpenOutcome openForOverwrite(const std::string& path) override { return inner_.openForOverwrite(path); }
    Failure remove(const std::string& path) override { return inner_.remove(path); }
    Failure listDirectory(const std::string& folder,
                          const std::function<void(const DirEntry&)>& onEntry) override {
        return inner_.listDirectory(folder, onEntry);
    }
    PathKind kindOf(const std::string& path) override { return inner_.kindOf(path); }

private:
    FileSystem& inner_;
};

}  // namespace shredder::testing
