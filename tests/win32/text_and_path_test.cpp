// UTF-8 <-> UTF-16 and the long-path form handed to file calls.
#include <gtest/gtest.h>

#include "platform/win32/long_path.h"
#include "platform/win32/module_folder.h"
#include "platform/win32/utf.h"

namespace shredder::win32 {
namespace {

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

TEST(Utf, InvalidUtf8IsReplacedNotDropped) {
    const std::wstring wide = Widen("a\xFF" "b");
    EXPECT_EQ(wide.front(), L'a');
    EXPECT_EQ(wide.back(), L'b');
    EXPECT_EQ(wide.size(), 3u);
}

TEST(LongPath, DrivePathsGetTheExtendedPrefix) {
    EXPECT_EQ(ForFileCall(std::wstring_view(L"C:\\dir\\a.txt")), L"\\\\?\\C:\\dir\\a.txt");
    EXPECT_EQ(ForFileCall(std::wstring_view(L"C:\\")), L"\\\\?\\C:\\");
}

TEST(LongPath, UncPathsGetTheUncForm) {
    EXPECT_EQ(ForFileCall(std::wstring_view(L"\\\\server\\share\\a.txt")), L"\\\\?\\UNC\\server\\share\\a.txt");
}

TEST(LongPath, IsCanonicalBehindThePrefixWhereTheSystemNoLongerCleansUp) {
    EXPECT_EQ(ForFileCall(std::wstring_view(L"C:\\dir/Aero.she")), L"\\\\?\\C:\\dir\\Aero.she");
    EXPECT_EQ(ForFileCall(std::wstring_view(L"C:\\a\\.\\b\\..\\c.txt")), L"\\\\?\\C:\\a\\c.txt");
}

TEST(LongPath, PathsAlreadyInDeviceFormAreLeftAlone) {
    EXPECT_EQ(ForFileCall(std::wstring_view(L"\\\\?\\C:\\x")), L"\\\\?\\C:\\x");
    EXPECT_EQ(ForFileCall(std::wstring_view(L"\\\\.\\PhysicalDrive0")), L"\\\\.\\PhysicalDrive0");
    EXPECT_EQ(ForFileCall(std::wstring_view(L"")), L"");
}

TEST(LongPath, KeepsPathsBeyondMaxPathWhole) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\" + std::wstring(300, L'y') + L".txt";
    EXPECT_EQ(ForFileCall(std::wstring_view(deep)), L"\\\\?\\" + deep);
}

TEST(ModuleFolder, CutsBeforeTheLastBackslashButKeepsADriveRoot) {
    EXPECT_EQ(FolderOfModule(L"C:\\Program Files\\Shredder\\FileShredder.exe"), L"C:\\Program Files\\Shredder");
    EXPECT_EQ(FolderOfModule(L"C:\\FileShredder.exe"), L"C:\\");
    EXPECT_EQ(FolderOfModule(L"\\\\?\\C:\\deep\\FileShredder.exe"), L"\\\\?\\C:\\deep");
}

}  // namespace
}  // namespace shredder::win32
