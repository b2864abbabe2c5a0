#pragma once

// The system calls through which the Win32 file layer asks what a file or a volume has. Their
// answers are the ones that differ from one file system to another (FAT32 and exFAT refuse
// information classes NTFS answers, Wine answers them all), so they are reached through one
// table that a test can replace to answer as a given file system is documented to.
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

struct FileApi {
    decltype(&::GetVolumeInformationByHandleW) getVolumeInformationByHandle = nullptr;
    decltype(&::GetFileInformationByHandleEx) getFileInformationByHandleEx = nullptr;
    decltype(&::SetFileInformationByHandle) setFileInformationByHandle = nullptr;
    decltype(&::DeviceIoControl) deviceIoControl = nullptr;
};

// The system's own calls.
const FileApi& SystemFileApi();

// The table in use: the system's, unless a test put its own in place.
const FileApi& Api();

// Puts another table in place for as long as it lives; the one before comes back after.
class ScopedFileApi {
public:
    explicit ScopedFileApi(const FileApi& api);
    ~ScopedFileApi();
    ScopedFileApi(const ScopedFileApi&) = delete;
    ScopedFileApi& operator=(const ScopedFileApi&) = delete;

private:
    const FileApi* previous_;
};

// One information class read into its structure, so a call names what it asks for once.
template <typename Info>
bool ReadInfo(HANDLE handle, FILE_INFO_BY_HANDLE_CLASS type, Info& info) {
    return Api().getFileInformationByHandleEx(handle, type, &info, sizeof info) != FALSE;
}

}  // namespace shredder::win32
