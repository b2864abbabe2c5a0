#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace shredder::testing {

enum class Op { ResetAttributes, Open, Length, Write, Flush, Close, Remove, List, Streams, OpenStream };

// An in-memory file system that records what was done to it and fails on request.
class FakeFileSystem : public FileSystem {
public:
    struct Node {
        EntryKind kind = EntryKind::File;
        std::string content;
        bool hidden = false;
        bool readOnly = false;
        bool linkToDirectory = false;
        std::uint32_t names = 1;                 // hard links
        std::optional<std::vector<ByteRange>> ranges;  // set for a sparse file
        std::map<std::string, std::string> streams;    // named streams and their content
        bool discardWrites = false;  // for lengths no test should hold in memory
    };

    std::map<std::string, Node> nodes;
    std::map<std::string, std::vector<std::string>> children;  // "folder\\" -> names, in creation order
    std::map<std::string, FileId> folderIds;                   // "folder\\" -> identity
    std::vector<std::string> log;  // "open C:\a", "write 1000000", "flush", ...
    std::vector<std::size_t> writes;  // sizes written to main streams, in order
    int openFiles = 0;
    std::function<void(const std::string& path)> beforeOpen;  // to act in the middle of a run
    std::function<void(const std::string& folder)> beforeList;  // to act in the middle of a walk

    void addFile(const std::string& path, std::string content = "secret", bool hidden = false);
    void addDirectory(const std::string& path, bool hidden = false);
    void addLink(const std::string& path, bool toDirectory);
    void addOther(const std::string& path);  // a pipe or device
    bool exists(const std::string& path) const { return nodes.count(path) != 0; }
    // Another folder now stands where `folder` was, as when it is swapped for a link.
    void replaceFolder(const std::string& folder);

    // The next `op` on `path` (any path when empty) fails with `error`.
    void failOn(Op op, const std::string& path, SysError error = {ErrorKind::AccessDenied, 5, ""});
    Failure injected(Op op, const std::string& path);

    std::string absolutePath(const std::string& path) override { return path; }
    Failure identifyFolder(const std::string& folder, FileId& id) override;
    Failure listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) override;
    std::optional<EntryKind> kindOf(const std::string& path) override;
    Failure resetAttributes(const ListedFile& file, std::uint64_t& length) override;
    OpenOutcome openForOverwrite(const ListedFile& file) override;

    void erase(const std::string& path);

private:
    struct Injection {
        Op op;
        std::string path;
        SysError error;
    };
    std::vector<Injection> injections_;
    std::uint64_t nextId_ = 1;
    void add(const std::string& path, Node node);
    Failure checkFolder(const ListedFile& file);
};

}  // namespace shredder::testing
