// GetLastError() codes in the portable terms the messages are written for.
#include <gtest/gtest.h>

#include "platform/win32/win32_error.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {
namespace {

TEST(Win32Error, MapsTheCodesTheRunMeets) {
    const std::pair<DWORD, ErrorKind> cases[] = {
        {ERROR_FILE_NOT_FOUND, ErrorKind::NotFound},        {ERROR_PATH_NOT_FOUND, ErrorKind::PathNotFound},
        {ERROR_ACCESS_DENIED, ErrorKind::AccessDenied},     {ERROR_SHARING_VIOLATION, ErrorKind::SharingViolation},
        {ERROR_LOCK_VIOLATION, ErrorKind::SharingViolation}, {ERROR_HANDLE_DISK_FULL, ErrorKind::DiskFull},
        {ERROR_DISK_FULL, ErrorKind::DiskFull},             {ERROR_WRITE_PROTECT, ErrorKind::WriteProtected},
        {ERROR_FILENAME_EXCED_RANGE, ErrorKind::NameTooLong}, {ERROR_IO_DEVICE, ErrorKind::DeviceError},
    };
    for (const auto& [code, kind] : cases) {
        const SysError error = ErrorFromCode(code);
        EXPECT_EQ(error.kind, kind) << code;
        EXPECT_EQ(error.code, static_cast<long>(code));
    }
}

TEST(Win32Error, OtherCodesCarryTheSystemsOwnWordingAndTheNumber) {
    const SysError error = ErrorFromCode(ERROR_INVALID_HANDLE);
    EXPECT_EQ(error.kind, ErrorKind::Other);
    EXPECT_FALSE(error.systemText.empty());
    EXPECT_NE(error.systemText.back(), '\n');
    EXPECT_NE(DescribeInChinese(error).find("6"), std::string::npos);
}

TEST(Win32Error, LastErrorReadsTheFailingCallsCode) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(LastError().kind, ErrorKind::AccessDenied);
    EXPECT_EQ(DescribeInChinese(LastError()), "拒绝访问。");
}

}  // namespace
}  // namespace shredder::win32
