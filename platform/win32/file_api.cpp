// The table of file-system calls the Win32 layer goes through, and its replacement by tests.
#include "platform/win32/file_api.h"

#include <atomic>

namespace shredder::win32 {
namespace {

std::atomic<const FileApi*> current{nullptr};

}  // namespace

const FileApi& SystemFileApi() {
    static const FileApi system{&::GetVolumeInformationByHandleW, &::GetFileInformationByHandleEx,
                                &::SetFileInformationByHandle, &::DeviceIoControl};
    return system;
}

const FileApi& Api() {
    const FileApi* api = current.load(std::memory_order_acquire);
    return api ? *api : SystemFileApi();
}

ScopedFileApi::ScopedFileApi(const FileApi& api) : previous_(current.exchange(&api, std::memory_order_acq_rel)) {}

ScopedFileApi::~ScopedFileApi() { current.store(previous_, std::memory_order_release); }

}  // namespace shredder::win32
