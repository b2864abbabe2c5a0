#pragma once

#include <windows.h>

#include <cstddef>

namespace shredder::testing {

// A block of memory inside another process, for controls whose messages carry pointers that
// Windows does not copy between processes (tree views, dropped-file lists).
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const { return address_ != nullptr; }
    void* address(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    bool write(size_t offset, const void* data, size_t size) const;
    bool read(size_t offset, void* data, size_t size) const;

private:
    HANDLE process_;
    void* address_;
};

}  // namespace shredder::testing
