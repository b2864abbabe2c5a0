// Adding files through the system's open dialog.
#include <gtest/gtest.h>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/open_dialog.h"
#include "driver/program.h"
#include "tests/win32/temp_folder.h"
#include "driver/wine_host.h"
#include "user_steps.h"
#include "window_test.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;

class AddFilesTest : public WindowTest {};

TEST_F(AddFilesTest, DialogOpensEmptyWithTheAllFilesFilter) {
    ASSERT_TRUE(Press(program.control(layout::kCommand1)));
    const OpenDialog dialog(program);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog.fileName(), L"");
    EXPECT_EQ(dialog.fileType(), L"All Files");
    EXPECT_EQ(::GetWindow(dialog.window(), GW_OWNER), program.window());
    EXPECT_TRUE(dialog.cancel());
}

TEST_F(AddFilesTest, OneFileIsListedWithItsFullPath) {
    const auto a = files.write(L"a.txt", "a");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt"}));
    EXPECT_EQ(Entries(program), EntriesFor({a}));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(AddFilesTest, ThreeFilesAreListedInTheOrderChosen) {
    const auto a = files.write(L"a.txt", "a");
    const auto b = files.write(L"b.txt", "b");
    const auto c = files.write(L"c.txt", "c");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt", L"b.txt", L"c.txt"}));
    EXPECT_EQ(Entries(program), EntriesFor({a, b, c}));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(AddFilesTest, FilesGoAfterWhatIsListedAndMayRepeat) {
    const auto a = files.write(L"a.txt", "a");
    const auto b = files.write(L"b.txt", "b");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt"}));
    ASSERT_TRUE(AddFiles(program, files.location(), {L"b.txt", L"a.txt"}));
    EXPECT_EQ(Entries(program), EntriesFor({a, b, a}));
}

TEST_F(AddFilesTest, CancelOnAFreshWindowChangesNothing) {
    ASSERT_TRUE(CancelAddFiles(program));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(StartEnabled(program));
    EXPECT_TRUE(DialogsOf(program).empty());
}

TEST_F(AddFilesTest, CancelKeepsTheListAndTheStartButton) {
    const auto a = files.write(L"a.txt", "a");
    files.write(L"b.txt", "b");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt"}));
    ASSERT_TRUE(Press(program.control(layout::kCommand1)));
    const OpenDialog dialog(program);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog.goTo(files.location()));
    ASSERT_TRUE(dialog.cancel());
    ASSERT_TRUE(Drain(program));
    EXPECT_EQ(Entries(program), EntriesFor({a}));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(AddFilesTest, FilesAtADriveRootGetOneBackslash) {
    const host::DriveMapping drive(files.location());
    ASSERT_FALSE(drive.letter().empty()) << "could not map a drive letter to the test folder";
    files.write(L"a.txt", "a");
    files.write(L"b.txt", "b");
    ASSERT_TRUE(AddFiles(program, drive.root(), {L"a.txt"}));
    ASSERT_TRUE(AddFiles(program, drive.root(), {L"a.txt", L"b.txt"}));
    const std::wstring root = drive.letter() + L"\\";
    EXPECT_EQ(Entries(program), (std::vector<std::wstring>{root + L"a.txt", root + L"a.txt", root + L"b.txt"}));
}

TEST_F(AddFilesTest, ChineseAndEmojiNamesArriveIntact) {
    const auto chinese = files.write(L"粉碎测试文档.txt", "1");
    const auto emoji = files.write(L"😀 表情 𠀀.txt", "2");
    const auto folder = files.makeFolder(L"机密资料");
    const auto inside = files.write(L"机密资料/报告.txt", "3");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"粉碎测试文档.txt", L"😀 表情 𠀀.txt"}));
    ASSERT_TRUE(AddFiles(program, folder, {L"报告.txt"}));
    EXPECT_EQ(Entries(program), EntriesFor({chinese, emoji, inside}));
}

TEST_F(AddFilesTest, TheProgramsCurrentFolderStaysWhereItWasNotOnTheFolderPickedFrom) {
    const auto before = program.currentFolder();
    ASSERT_FALSE(before.empty());
    files.write(L"a.txt", "a");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt"}));
    EXPECT_EQ(program.currentFolder(), before);
}

}  // namespace
}  // namespace shredder::testing
