// The open dialog's filter and answer buffer in and out of the double-NUL form.
#include <gtest/gtest.h>

#include "platform/win32/win32_dialogs.h"
#include "platform/win32/windows_api.h"

#include <commdlg.h>

namespace shredder::testing {
namespace {

using namespace shredder::win32;

using namespace std::string_literals;

// The buffer as GetOpenFileNameW leaves it: the items, then NULs to the end of the buffer.
std::wstring Buffer(const std::wstring& items) { return items + std::wstring(64, L'\0'); }

TEST(DialogFilter, BarsBecomeNulsAndTheListEndsInTwo) {
    EXPECT_EQ(DialogFilter("All Files|*.*"), L"All Files\0*.*\0\0"s);
}

// Wine's dialog never writes Recent shortcuts, so only the flag can be checked for that; the
// current folder is checked on the real program from outside.
TEST(DialogFlags, ManyFilesAtOnceAndThePickLeavesNoRecentShortcutAndNoCurrentFolder) {
    // 0x80200, explorer style with multiple selection, is what the dialog has always been asked.
    EXPECT_EQ(OpenDialogFlags(), 0x80200ul | OFN_DONTADDTORECENT | OFN_NOCHANGEDIR);
}

TEST(DialogAnswer, CancelOrAnEmptyBufferIsEmpty) { EXPECT_EQ(AnswerFromDialogBuffer(Buffer(L"")), ""); }

TEST(DialogAnswer, OneFileIsItsFullPath) {
    EXPECT_EQ(AnswerFromDialogBuffer(Buffer(L"C:\\docs\\a.txt\0"s)), "C:\\docs\\a.txt");
}

TEST(DialogAnswer, SeveralFilesAreTheFolderThenEachNameWithoutATrailingNul) {
    EXPECT_EQ(AnswerFromDialogBuffer(Buffer(L"C:\\docs\0a.txt\0b.txt\0c.txt\0"s)), "C:\\docs\0a.txt\0b.txt\0c.txt"s);
}

TEST(DialogAnswer, AtADriveRootTheFolderKeepsItsBackslash) {
    EXPECT_EQ(AnswerFromDialogBuffer(Buffer(L"C:\\\0a.txt\0b.txt\0"s)), "C:\\\0a.txt\0b.txt"s);
}

TEST(DialogAnswer, NamesInAnyScriptArriveAsUtf8) {
    EXPECT_EQ(AnswerFromDialogBuffer(Buffer(L"D:\\文件\0\x65E5\x672C.txt\0\xD83D\xDE00.txt\0"s)),
              "D:\\文件\0日本.txt\0😀.txt"s);
}

TEST(DialogAnswer, ABufferFilledToTheLastCharacterStillEnds) {
    EXPECT_EQ(AnswerFromDialogBuffer(L"C:\\x"), "C:\\x");
}

}  // namespace
}  // namespace shredder::testing
