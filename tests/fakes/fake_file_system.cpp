#include "tests/fakes/fake_file_system.h"

#include <algorithm>

#include "platform/path.h"

namespace shredder::testing {
namespace {

class FakeOpenedFile : public OpenedFile {
public:
    FakeOpenedFile(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) { ++fs_.openFiles; }
    ~FakeOpenedFile() override {
        if (!closed_) --fs_.openFiles;
    }

    Failure length(std::uint64_t& bytes) override {
        if (Failure failed = fs_.injected(Op::Length, path_)) return failed;
        bytes = fs_.nodes.at(path_).content.size();
        return std::nullopt;
    }
    Failure write(const char* data, std::size_t size) override {
        fs_.log.push_back("write " + std::to_string(size));
        fs_.writes.push_back(size);
        if (Failure failed = fs_.injected(Op::Write, path_)) return failed;
        std::string& content = fs_.nodes.at(path_).content;
        if (position_ + size > content.size()) content.resize(position_ + size);
        std::copy(data, data + size, content.begin() + static_cast<long>(position_));
        position_ += size;
        return std::nullopt;
    }
    Failure flush() override {
        fs_.log.push_back("flush");
        return fs_.injected(Op::Flush, path_);
    }
    Failure close() override {
        fs_.log.push_back("close");
        closed_ = true;
        --fs_.openFiles;
        return fs_.injected(Op::Close, path_);
    }

private:
    FakeFileSystem& fs_;
    std::string path_;
    std::size_t position_ = 0;
    bool closed_ = false;
};

}  // namespace

void FakeFileSystem::add(const std::string& path, Node node) {
    if (!exists(path)) {
        order.push_back(path);
        const std::size_t cut = path.rfind(kPathSeparator) + 1;
        children[path.substr(0, cut)].push_back(path.substr(cut));
    }
    nodes[path] = std::move(node);
}

void FakeFileSystem::addFile(const std::string& path, std::string content, bool hidden) {
    Node node;
    node.content = std::move(content);
    node.hidden = hidden;
    add(path, std::move(node));
}

void FakeFileSystem::addDirectory(const std::string& path, bool hidden) {
    Node node;
    node.kind = PathKind::Directory;
    node.hidden = hidden;
    add(path, std::move(node));
}

void FakeFileSystem::addLink(const std::string& path, bool toDirectory) {
    Node node;
    node.kind = PathKind::Link;
    node.linkToDirectory = toDirectory;
    add(path, std::move(node));
}

void FakeFileSystem::failOn(Op op, const std::string& path, SysError error) {
    injections_.push_back({op, path, std::move(error)});
}

Failure FakeFileSystem::injected(Op op, const std::string& path) {
    for (auto it = injections_.begin(); it != injections_.end(); ++it) {
        if (it->op == op && (it->path.empty() || it->path == path)) {
            SysError error = it->error;
            injections_.erase(it);
            return error;
        }
    }
    return std::nullopt;
}

Failure FakeFileSystem::resetAttributes(const std::string& path) {
    log.push_back("attrs " + path);
    if (Failure failed = injected(Op::ResetAttributes, path)) return failed;
    auto it = nodes.find(path);
    if (it == nodes.end()) return SysError{ErrorKind::NotFound, 2, ""};
    it->second.readOnly = false;
    it->second.hidden = false;
    return std::nullopt;
}

OpenOutcome FakeFileSystem::openForOverwrite(const std::string& path) {
    log.push_back("open " + path);
    OpenOutcome outcome;
    if ((outcome.error = injected(Op::Open, path))) return outcome;
    auto it = nodes.find(path);
    if (it != nodes.end() && it->second.kind == PathKind::Link) {
        outcome.isLink = true;
        return outcome;
    }
    if (it == nodes.end()) addFile(path, "");
    outcome.file = std::make_unique<FakeOpenedFile>(*this, path);
    return outcome;
}

Failure FakeFileSystem::remove(const std::string& path) {
    log.push_back("remove " + path);
    if (Failure failed = injected(Op::Remove, path)) return failed;
    if (nodes.erase(path) == 0) return SysError{ErrorKind::NotFound, 2, ""};
    order.erase(std::find(order.begin(), order.end(), path));
    const std::size_t cut = path.rfind(kPathSeparator) + 1;
    std::vector<std::string>& siblings = children[path.substr(0, cut)];
    siblings.erase(std::find(siblings.begin(), siblings.end(), path.substr(cut)));
    return std::nullopt;
}

Failure FakeFileSystem::listDirectory(const std::string& folder,
                                      const std::function<void(const DirEntry&)>& onEntry) {
    log.push_back("list " + folder);
    const auto found = children.find(folder);
    if (found == children.end()) return injected(Op::List, folder);
    for (const std::string& name : found->second) {
        if (Failure failed = injected(Op::List, folder)) return failed;
        const Node& node = nodes.at(folder + name);
        DirEntry entry;
        entry.name = name;
        entry.isDirectory = node.kind == PathKind::Directory || node.linkToDirectory;
        entry.isHidden = node.hidden;
        entry.isLink = node.kind == PathKind::Link;
        onEntry(entry);
    }
    return injected(Op::List, folder);
}

PathKind FakeFileSystem::kindOf(const std::string& path) {
    auto it = nodes.find(path);
    return it == nodes.end() ? PathKind::Missing : it->second.kind;
}

}  // namespace shredder::testing
