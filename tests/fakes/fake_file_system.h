#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace shredder::testing {

enum class Op { ResetAttributes, Open, Length, Write, Flush, Close, Remove, List };

// An in-memory file system that records what was done to it and fails on request.
class FakeFileSystem : public FileSystem {
public:
    struct Node {
        PathKind kind = PathKind::File;
        std::string content;
        bool hidden = false;
        bool readOnly = false;
        bool linkToDirectory = false;
    };

    std::map<std::string, Node> nodes;
    std::vector<std::string> order;  // creation order = enumeration order
    std::map<std::string, std::vector<std::string>> children;  // "folder\\" -> names, in creation order
    std::vector<std::string> log;    // "open C:\a", "write 1000000", "flush", ...
    std::vector<std::size_t> writes;
    int openFiles = 0;

    void addFile(const std::string& path, std::string content = "secret", bool hidden = false);
    void addDirectory(const std::string& path, bool hidden = false);
    void addLink(const std::string& path, bool toDirectory);
    bool exists(const std::string& path) const { return nodes.count(path) != 0; }

    // The next `op` on `path` (any path when empty) fails with `error`.
    void failOn(Op op, const std::string& path, SysError error = {ErrorKind::AccessDenied, 5, ""});

    Failure resetAttributes(const std::string& path) override;
    OpenOutcome openForOverwrite(const std::string& path) override;
    Failure remove(const std::string& path) override;
    Failure listDirectory(const std::string& folder, const std::function<void(const DirEntry&)>& onEntry) override;
    PathKind kindOf(const std::string& path) override;

    Failure injected(Op op, const std::string& path);

private:
    struct Injection {
        Op op;
        std::string path;
        SysError error;
    };
    std::vector<Injection> injections_;
    void add(const std::string& path, Node node);
};

}  // namespace shredder::testing
