// Text, paths and error codes between the portable code and Win32.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_text.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

TEST(Utf, RoundTripsEveryScriptTheProgramMeets) {
    const std::string texts[] = {"", "C:\\plain\\ascii.txt", "霁川文件粉碎机", "日本語", "한국어", "😀 outside the BMP",
                                 std::string("nul\0inside", 10)};
    for (const std::string& text : texts) {
        EXPECT_EQ(Narrow(Widen(text)), text);
    }
}

TEST(Utf, CharactersOutsideTheBmpBecomeSurrogatePairs) {
    EXPECT_EQ(Widen("😀"), std::wstring(L"\xD83D\xDE00"));
    EXPECT_EQ(Narrow(L"\xD83D\xDE00"), "😀");
    EXPECT_EQ(Widen("霁"), std::wstring(L"\x9701"));
}

// NTFS takes any 16-bit units as a name, a surrogate without its pair included.
TEST(Utf, NamesThatAreNotValidUtf16ComeBackExactlyAndStayApartFromU_FFFD) {
    const std::wstring names[] = {L"a\xD800", L"\xDC00z", L"\xDE00\xD83D", L"\xD83D\xD83D\xDE00", L"x\xDBFF"};
    for (const std::wstring& name : names) {
        const std::string narrow = Narrow(name);
        EXPECT_EQ(Widen(narrow), name);
        EXPECT_EQ(WidenExactly(narrow), name);
        EXPECT_EQ(narrow.find("\xEF\xBF\xBD"), std::string::npos);  // never U+FFFD
        EXPECT_EQ(ForFileCall("C:\\d\\" + narrow), L"\\\\?\\C:\\d\\" + name);
    }
    EXPECT_NE(Narrow(L"a\xD800"), Narrow(L"a\xFFFD"));
    EXPECT_EQ(Narrow(L"\xD83D\xDE00"), "😀");  // a real pair is plain UTF-8
    // What Narrow never makes is no path: its name would be a guess.
    EXPECT_EQ(ForFileCall(std::string_view("C:\\d\\a\xFF")), std::nullopt);
    EXPECT_EQ(ForFileCall(std::string_view("C:\\d\\\xED\xA0\xBD\xED\xB8\x80")), std::nullopt);  // a pair as halves
    EXPECT_EQ(ForFileCall(std::string_view("C:\\d\\\xC0\xAF")), std::nullopt);                  // overlong "/"
}

TEST(Utf, InvalidUtf8IsReplacedNotDropped) {
    const std::wstring wide = Widen("a\xFF" "b");
    EXPECT_EQ(wide.front(), L'a');
    EXPECT_EQ(wide.back(), L'b');
    EXPECT_EQ(wide.size(), 3u);
}

std::optional<std::wstring> Form(const wchar_t* path) { return ForFileCall(std::wstring_view(path)); }

TEST(LongPath, DrivePathsGetTheExtendedPrefix) {
    EXPECT_EQ(Form(L"C:\\dir\\a.txt"), L"\\\\?\\C:\\dir\\a.txt");
    EXPECT_EQ(Form(L"C:\\"), L"\\\\?\\C:\\");
    EXPECT_EQ(Form(L"C:\\dir\\"), L"\\\\?\\C:\\dir\\");
}

TEST(LongPath, UncPathsGetTheUncForm) {
    EXPECT_EQ(Form(L"\\\\server\\share\\a.txt"), L"\\\\?\\UNC\\server\\share\\a.txt");
    EXPECT_EQ(Form(L"\\\\server\\share"), L"\\\\?\\UNC\\server\\share\\");
    EXPECT_EQ(Form(L"\\\\server"), std::nullopt);
}

TEST(LongPath, NamesAreTakenLiterally) {
    // GetFullPathNameW would make these "report", "notes", "\\.\COM1", "\\.\AUX", "\\.\NUL"...
    for (const std::wstring path : {L"C:\\d\\report.", L"C:\\d\\notes ", L"C:\\d\\com1", L"C:\\d\\aux.txt",
                                     L"C:\\dirx.\\nul", L"C:\\sp \\x. ."}) {
        EXPECT_EQ(Form(path.c_str()), L"\\\\?\\" + path);
    }
    EXPECT_EQ(Form(L"\\\\server\\share\\sp \\x."), L"\\\\?\\UNC\\server\\share\\sp \\x.");
}

TEST(LongPath, OnlyWhatNoNameCanHoldIsTidied) {
    EXPECT_EQ(Form(L"C:\\dir/Aero.she"), L"\\\\?\\C:\\dir\\Aero.she");
    EXPECT_EQ(Form(L"C:\\a\\.\\b\\..\\c.txt"), L"\\\\?\\C:\\a\\c.txt");
    EXPECT_EQ(Form(L"C:\\a\\\\b"), L"\\\\?\\C:\\a\\b");
    EXPECT_EQ(Form(L"C:\\..\\..\\x"), L"\\\\?\\C:\\x");  // never above the root
}

TEST(LongPath, ExtendedPathsToFilesPassAsTheyAre) {
    EXPECT_EQ(Form(L"\\\\?\\C:\\x."), L"\\\\?\\C:\\x.");
    EXPECT_EQ(Form(L"\\\\?\\UNC\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(Form(L"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-000000000000}\\x"),
              L"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-000000000000}\\x");
}

TEST(LongPath, DevicesAndRelativePathsAreRefused) {
    for (const wchar_t* path : {L"\\\\.\\PhysicalDrive0", L"\\\\.\\C:", L"//./nul", L"\\\\?\\GLOBALROOT\\Device\\Harddisk0",
                                L"\\\\?\\globalroot\\x", L"\\\\?\\C:", L"\\\\?\\PhysicalDrive0", L"\\\\?\\pipe\\x",
                                L"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-000000000000}", L"\\??\\C:\\x", L"//?/C:/x",
                                L"report.txt", L"C:report.txt", L"\\report.txt", L""}) {
        EXPECT_EQ(Form(path), std::nullopt) << path;
    }
}

TEST(LongPath, KeepsPathsBeyondMaxPathWhole) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\" + std::wstring(300, L'y') + L".txt";
    EXPECT_EQ(ForFileCall(std::wstring_view(deep)), L"\\\\?\\" + deep);
}

TEST(LongPath, OnlyRelativePathsAreMadeAbsolute) {
    EXPECT_EQ(AbsolutePath(L"C:\\d\\report."), L"C:\\d\\report.");
    EXPECT_EQ(AbsolutePath(L"\\\\server\\share\\com1"), L"\\\\server\\share\\com1");
    EXPECT_TRUE(IsAbsolutePath(L"C:/d"));
    EXPECT_FALSE(IsAbsolutePath(L"C:d"));
    EXPECT_FALSE(IsAbsolutePath(L"\\d"));
    wchar_t working[MAX_PATH]{};
    ASSERT_NE(::GetCurrentDirectoryW(MAX_PATH, working), 0u);
    EXPECT_EQ(AbsolutePath(L"a.txt"), std::wstring(working) + (std::wstring(working).back() == L'\\' ? L"" : L"\\") + L"a.txt");
}

TEST(ModuleFolder, CutsBeforeTheLastBackslashButKeepsADriveRoot) {
    EXPECT_EQ(FolderOfModule(L"C:\\Program Files\\Shredder\\FileShredder.exe"), L"C:\\Program Files\\Shredder");
    EXPECT_EQ(FolderOfModule(L"C:\\FileShredder.exe"), L"C:\\");
    EXPECT_EQ(FolderOfModule(L"\\\\?\\C:\\deep\\FileShredder.exe"), L"\\\\?\\C:\\deep");
}

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
    EXPECT_EQ(error.code, 6);
}

TEST(Win32Error, LastErrorReadsTheFailingCallsCode) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(LastError().kind, ErrorKind::AccessDenied);
    EXPECT_EQ(LastError().code, 5);
}

}  // namespace
}  // namespace shredder::testing
