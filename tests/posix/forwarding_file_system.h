#pragma once

#include <memory>
#include <utility>

#include "platform/file_system.h"

namespace shredder::testing {

// Hands every call to an opened file; decorators override only what they watch or break.
class ForwardingOpenedFile : public OpenedFile {
public:
    explicit ForwardingOpenedFile(std::unique_ptr<OpenedFile> inner) : inner_(std::move(inner)) {}

    Failure length(std::uint64_t& bytes) override { return inner_->length(bytes); }
    Failure writeAt(std::uint64_t offset, const char* data, std::size_t size) override {
        return inner_->writeAt(offset, data, size);
    }
    Failure flush() override { return inner_->flush(); }
    Failure close() override { return inner_->close(); }
    Failure nameCount(std::uint32_t& names) override { return inner_->nameCount(names); }
    Failure dataRanges(std::vector<ByteRange>& ranges) override { return inner_->dataRanges(ranges); }
    Failure namedStreams(std::vector<std::string>& names) override { return inner_->namedStreams(names); }
    Failure openNamedStream(const std::string& name, std::unique_ptr<OpenedData>& stream) override {
        return inner_->openNamedStream(name, stream);
    }
    Failure remove() override { return inner_->remove(); }

private:
    std::unique_ptr<OpenedFile> inner_;
};

// Hands every call to another file system; decorators override only what they watch or break.
class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

    std::string absolutePath(const std::string& path) override { return inner_.absolutePath(path); }
    Failure identifyFolder(const std::string& folder, FileId& id) override { return inner_.identifyFolder(folder, id); }
    Failure listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) override {
        return inner_.listDirectory(folder, folderId, onEntry);
    }
    std::optional<EntryKind> kindOf(const std::string& path) override { return inner_.kindOf(path); }
    Failure resetAttributes(const ListedFile& file, std::uint64_t& length) override {
        return inner_.resetAttributes(file, length);
    }
    OpenOutcome openForOverwrite(const ListedFile& file) override { return inner_.openForOverwrite(file); }

private:
    FileSystem& inner_;
};

}  // namespace shredder::testing
