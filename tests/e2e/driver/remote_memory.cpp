#include "driver/remote_memory.h"

namespace shredder::testing {

RemoteMemory::RemoteMemory(HANDLE process, size_t size)
    : process_(process), address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}

RemoteMemory::~RemoteMemory() {
    if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteMemory::write(size_t offset, const void* data, size_t size) const {
    SIZE_T done = 0;
    return ::WriteProcessMemory(process_, address(offset), data, size, &done) && done == size;
}

bool RemoteMemory::read(size_t offset, void* data, size_t size) const {
    SIZE_T done = 0;
    return ::ReadProcessMemory(process_, address(offset), data, size, &done) && done == size;
}

}  // namespace shredder::testing
