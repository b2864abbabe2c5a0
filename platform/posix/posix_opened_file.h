#pragma once

#include "platform/file_system.h"
#include "platform/posix/unique_handle.h"

namespace shredder::posix {

// A regular file open for reading and writing, written from its first byte on.
class PosixOpenedFile : public OpenedFile {
public:
    explicit PosixOpenedFile(UniqueFd fd) : fd_(std::move(fd)) {}

    Failure length(std::uint64_t& bytes) override;
    Failure write(const char* data, std::size_t size) override;
    Failure flush() override;
    Failure close() override;

private:
    UniqueFd fd_;
};

}  // namespace shredder::posix
