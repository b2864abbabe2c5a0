// Files and folders dropped on the window from outside, as from a file manager.
#include <gtest/gtest.h>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/drop.h"
#include "driver/program.h"
#include "driver/temp_folder.h"
#include "driver/wait.h"
#include "user_steps.h"
#include "window_test.h"

namespace e2e {
namespace {
namespace layout = shredder::layout;

class DropTest : public WindowTest {};

TEST_F(DropTest, DroppedFilesAreListedInTheOrderDropped) {
    const auto a = files.write(L"a.txt", "a");
    const auto b = files.write(L"拖放 😀.txt", "b");
    const Drop drop(program, {b, a});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(Drain(program));
    EXPECT_EQ(Entries(program), EntriesFor({b, a}));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(DropTest, DroppedFolderIsWalkedLikeTheAddFolderButton) {
    const auto tree = files.makeFolder(L"tree");
    const auto x = files.write(L"tree/x.txt", "x");
    const auto y = files.write(L"tree/sub/y.txt", "y");
    const auto hidden = files.write(L"tree/hidden.txt", "h");
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const Drop drop(program, {tree});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(Drain(program));
    EXPECT_EQ(Entries(program), EntriesFor({x, y}));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(DropTest, MixOfFilesAndFoldersGoesAfterWhatIsListed) {
    const auto first = files.write(L"first.txt", "1");
    ASSERT_TRUE(AddFiles(program, files.path(), {L"first.txt"}));
    const auto a = files.write(L"a.txt", "a");
    const auto tree = files.makeFolder(L"tree");
    const auto x = files.write(L"tree/x.txt", "x");
    const auto b = files.write(L"b.txt", "b");
    const Drop drop(program, {a, tree, b});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(Drain(program));
    EXPECT_EQ(Entries(program), EntriesFor({first, a, x, b}));
}

TEST_F(DropTest, NothingUsableDroppedLeavesStartAsItWas) {
    const Drop drop(program, {files.path() / L"gone.txt"});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(Drain(program));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(StartEnabled(program));
}

TEST_F(DropTest, DroppedFilesCanBeShredded) {
    const auto a = files.write(L"a.txt", "a");
    const Drop drop(program, {a});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(Drain(program));
    ASSERT_TRUE(StartEnabled(program));
    ASSERT_TRUE(Press(program.control(layout::kCommand3)));
    HWND confirmation = WaitForDialog(program);
    ASSERT_TRUE(Press(confirmation, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !std::filesystem::exists(a); }));
}

}  // namespace
}  // namespace e2e
