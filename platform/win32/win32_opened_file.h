#pragma once

#include "platform/file_system.h"
#include "platform/win32/unique_handle.h"

namespace shredder::win32 {

// A file handle opened for overwriting; writes follow one another from the first byte.
class Win32OpenedFile final : public OpenedFile {
public:
    explicit Win32OpenedFile(unique_hfile handle) : handle_(std::move(handle)) {}

    Failure length(std::uint64_t& bytes) override;
    Failure write(const char* data, std::size_t size) override;
    Failure flush() override;
    Failure close() override;

private:
    unique_hfile handle_;
};

}  // namespace shredder::win32
