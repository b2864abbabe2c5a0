#include "tests/fakes/fake_file_system.h"

#include <algorithm>

#include "platform/path.h"

namespace shredder::testing {
namespace {

SysError Error(ErrorKind kind) { return SysError{kind, 0, ""}; }

// Main data or one named stream of a fake file, written at offsets.
class FakeOpenedData : public OpenedData {
public:
    FakeOpenedData(FakeFileSystem& fs, std::string path, std::string stream)
        : fs_(fs), path_(std::move(path)), stream_(std::move(stream)) {
        ++fs_.openFiles;
    }
    ~FakeOpenedData() override {
        if (!closed_) --fs_.openFiles;
    }

    Failure length(std::uint64_t& bytes) override {
        if (Failure failed = fs_.injected(Op::Length, path_)) return failed;
        bytes = content().size();
        return std::nullopt;
    }
    Failure writeAt(std::uint64_t offset, const char* data, std::size_t size) override {
        fs_.log.push_back((stream_.empty() ? "write " : "write :" + stream_ + " ") + std::to_string(size));
        if (stream_.empty()) fs_.writes.push_back(size);
        if (Failure failed = fs_.injected(Op::Write, path_)) return failed;
        if (fs_.nodes.at(path_).discardWrites) return std::nullopt;
        std::string& bytes = content();
        if (offset + size > bytes.size()) bytes.resize(offset + size);
        std::copy(data, data + size, bytes.begin() + static_cast<long>(offset));
        return std::nullopt;
    }
    Failure flush() override {
        fs_.log.push_back(stream_.empty() ? "flush" : "flush :" + stream_);
        return fs_.injected(Op::Flush, path_);
    }
    Failure close() override {
        fs_.log.push_back(stream_.empty() ? "close" : "close :" + stream_);
        closed_ = true;
        --fs_.openFiles;
        return fs_.injected(Op::Close, path_);
    }

protected:
    FakeFileSystem& fs_;
    std::string path_;

private:
    std::string& content() {
        FakeFileSystem::Node& node = fs_.nodes.at(path_);
        return stream_.empty() ? node.content : node.streams.at(stream_);
    }
    std::string stream_;
    bool closed_ = false;
};

class FakeOpenedFile : public OpenedFile {
public:
    FakeOpenedFile(FakeFileSystem& fs, std::string path) : data_(fs, path, {}), fs_(fs), path_(std::move(path)) {}

    Failure length(std::uint64_t& bytes) override { return data_.length(bytes); }
    Failure writeAt(std::uint64_t offset, const char* data, std::size_t size) override {
        return data_.writeAt(offset, data, size);
    }
    Failure flush() override { return data_.flush(); }
    Failure close() override { return data_.close(); }

    Failure nameCount(std::uint32_t& names) override {
        names = fs_.nodes.at(path_).names;
        return std::nullopt;
    }
    Failure dataRanges(std::vector<ByteRange>& ranges) override {
        const FakeFileSystem::Node& node = fs_.nodes.at(path_);
        if (Failure failed = fs_.injected(Op::Length, path_)) return failed;
        if (node.ranges) {
            ranges = *node.ranges;
        } else {
            ranges.clear();
            if (!node.content.empty()) ranges.push_back(ByteRange{0, node.content.size()});
        }
        return std::nullopt;
    }
    Failure namedStreams(std::vector<std::string>& names) override {
        if (Failure failed = fs_.injected(Op::Streams, path_)) return failed;
        names.clear();
        for (const auto& [name, content] : fs_.nodes.at(path_).streams) names.push_back(name);
        return std::nullopt;
    }
    Failure openNamedStream(const std::string& name, std::unique_ptr<OpenedData>& stream) override {
        fs_.log.push_back("open :" + name);
        if (Failure failed = fs_.injected(Op::OpenStream, path_ + ":" + name)) return failed;
        stream = std::make_unique<FakeOpenedData>(fs_, path_, name);
        return std::nullopt;
    }
    Failure remove() override {
        fs_.log.push_back("remove " + path_);
        if (Failure failed = fs_.injected(Op::Remove, path_)) return failed;
        fs_.erase(path_);
        return std::nullopt;
    }

private:
    FakeOpenedData data_;
    FakeFileSystem& fs_;
    std::string path_;
};

}  // namespace

void FakeFileSystem::add(const std::string& path, Node node) {
    const std::string folder = ParentFolder(path);
    if (!folderIds.count(folder)) folderIds[folder] = FileId{1, nextId_++};
    if (!exists(path)) children[folder].push_back(EntryName(path));
    nodes[path] = std::move(node);
}

void FakeFileSystem::erase(const std::string& path) {
    nodes.erase(path);
    std::vector<std::string>& siblings = children[ParentFolder(path)];
    siblings.erase(std::find(siblings.begin(), siblings.end(), EntryName(path)));
}

void FakeFileSystem::addFile(const std::string& path, std::string content, bool hidden) {
    Node node;
    node.content = std::move(content);
    node.hidden = hidden;
    add(path, std::move(node));
}

void FakeFileSystem::addDirectory(const std::string& path, bool hidden) {
    Node node;
    node.kind = EntryKind::Directory;
    node.hidden = hidden;
    add(path, std::move(node));
    folderIds[WithTrailingSeparator(path)] = FileId{1, nextId_++};
}

void FakeFileSystem::addLink(const std::string& path, bool toDirectory) {
    Node node;
    node.kind = EntryKind::Link;
    node.linkToDirectory = toDirectory;
    add(path, std::move(node));
}

void FakeFileSystem::addOther(const std::string& path) {
    Node node;
    node.kind = EntryKind::Other;
    add(path, std::move(node));
}

void FakeFileSystem::replaceFolder(const std::string& folder) {
    folderIds[WithTrailingSeparator(folder)] = FileId{1, nextId_++};
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

Failure FakeFileSystem::identifyFolder(const std::string& folder, FileId& id) {
    const auto found = folderIds.find(WithTrailingSeparator(folder));
    if (found == folderIds.end()) return Error(ErrorKind::PathNotFound);
    id = found->second;
    return std::nullopt;
}

Failure FakeFileSystem::listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) {
    log.push_back("list " + folder);
    if (beforeList) beforeList(folder);
    if (Failure failed = identifyFolder(folder, folderId)) return failed;
    const auto found = children.find(folder);
    if (found == children.end()) return injected(Op::List, folder);
    for (const std::string& name : found->second) {
        if (Failure failed = injected(Op::List, folder)) return failed;
        const Node& node = nodes.at(folder + name);
        DirEntry entry;
        entry.name = name;
        entry.kind = node.kind;
        entry.linkToDirectory = node.linkToDirectory;
        entry.isHidden = node.hidden;
        if (onEntry(entry) == ListingStep::Stop) return std::nullopt;
    }
    return injected(Op::List, folder);
}

std::optional<EntryKind> FakeFileSystem::kindOf(const std::string& path) {
    auto it = nodes.find(path);
    if (it == nodes.end()) {
        if (folderIds.count(WithTrailingSeparator(path))) return EntryKind::Directory;
        return std::nullopt;
    }
    return it->second.kind;
}

Failure FakeFileSystem::checkFolder(const ListedFile& file) {
    const auto found = folderIds.find(ParentFolder(file.path));
    if (found == folderIds.end()) return Error(ErrorKind::PathNotFound);
    if (!file.folder || !(*file.folder == found->second)) return Error(ErrorKind::ChangedSinceListed);
    return std::nullopt;
}

Failure FakeFileSystem::resetAttributes(const ListedFile& file, std::uint64_t& length) {
    length = 0;
    log.push_back("attrs " + file.path);
    if (Failure failed = injected(Op::ResetAttributes, file.path)) return failed;
    if (Failure failed = checkFolder(file)) return failed;
    auto it = nodes.find(file.path);
    if (it == nodes.end()) return Error(ErrorKind::NotFound);
    if (it->second.kind != EntryKind::File) return std::nullopt;
    length = it->second.content.size();
    if (it->second.ranges && !it->second.ranges->empty()) {
        length = std::max<std::uint64_t>(length, it->second.ranges->back().offset + it->second.ranges->back().length);
    }
    it->second.readOnly = false;
    it->second.hidden = false;
    return std::nullopt;
}

OpenOutcome FakeFileSystem::openForOverwrite(const ListedFile& file) {
    log.push_back("open " + file.path);
    if (beforeOpen) beforeOpen(file.path);
    OpenOutcome outcome;
    if ((outcome.error = injected(Op::Open, file.path))) return outcome;
    if ((outcome.error = checkFolder(file))) return outcome;
    auto it = nodes.find(file.path);
    if (it == nodes.end()) {
        outcome.error = Error(ErrorKind::NotFound);
        return outcome;
    }
    switch (it->second.kind) {
        case EntryKind::Link:
            outcome.isLink = true;
            [[fallthrough]];
        case EntryKind::File:
            outcome.file = std::make_unique<FakeOpenedFile>(*this, file.path);
            break;
        case EntryKind::Directory:
        case EntryKind::Other:
            outcome.error = Error(ErrorKind::NotARegularFile);
            break;
    }
    return outcome;
}

}  // namespace shredder::testing
