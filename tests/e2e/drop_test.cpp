// Files and folders dropped on the window from outside, as from a file manager.
#include <gtest/gtest.h>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/drop.h"
#include "driver/program.h"
#include "tests/win32/temp_folder.h"
#include "driver/wait.h"
#include "user_steps.h"
#include "window_test.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;

class DropTest : public WindowTest {};

TEST_F(DropTest, DroppedFilesAreListedInTheOrderDropped) {
    const auto a = files.write(L"a.txt", "a");
    const auto b = files.write(L"拖放 😀.txt", "b");
    const Drop drop(program, {b, a});
    ASSERT_TRUE(drop.posted());
    EXPECT_TRUE(ListShows(program, EntriesFor({b, a})));
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
    EXPECT_TRUE(ListShows(program, EntriesFor({x, y})));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(DropTest, MixOfFilesAndFoldersGoesAfterWhatIsListed) {
    const auto first = files.write(L"first.txt", "1");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"first.txt"}));
    const auto a = files.write(L"a.txt", "a");
    const auto tree = files.makeFolder(L"tree");
    const auto x = files.write(L"tree/x.txt", "x");
    const auto b = files.write(L"b.txt", "b");
    const Drop drop(program, {a, tree, b});
    ASSERT_TRUE(drop.posted());
    EXPECT_TRUE(ListShows(program, EntriesFor({first, a, x, b})));
}

TEST_F(DropTest, NothingUsableDroppedLeavesStartAsItWas) {
    const Drop drop(program, {files.location() / L"gone.txt"});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(WaitUntilIdle(program));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(StartEnabled(program));
}

TEST_F(DropTest, DropDuringARunIsTakenAfterTheRunEnds) {
    const auto listed = files.write(L"listed.txt", "listed");
    const auto dropped = files.write(L"dropped.txt", "dropped");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"listed.txt"}));
    ASSERT_TRUE(Press(program.control(layout::kCommand3)));
    HWND confirmation = WaitForDialog(program);
    ASSERT_NE(confirmation, nullptr);

    // The run has begun: it waits for the answer to its confirmation.
    const Drop drop(program, {dropped});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(Drain(program));
    EXPECT_EQ(Entries(program), EntriesFor({listed})) << "nothing joins the list while the run works";

    ASSERT_TRUE(Press(confirmation, IDOK));
    ASSERT_TRUE(WaitUntilClosed(confirmation));
    HWND done = WaitForDialog(program);
    ASSERT_NE(done, nullptr);
    ASSERT_TRUE(Press(done, IDOK));
    ASSERT_TRUE(WaitUntilClosed(done));
    ASSERT_TRUE(Drain(program));

    EXPECT_FALSE(std::filesystem::exists(listed));
    EXPECT_EQ(ReadAll(dropped), "dropped") << "the dropped file was not part of the run";
    EXPECT_TRUE(ListShows(program, EntriesFor({dropped})));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(DropTest, PathsLongerThan260CharactersAreTakenWhole) {
    // Each name stays within the 255 bytes Linux allows for one name (3 bytes a character).
    const std::wstring level(60, L'长');
    const auto deep = files.makeFolder(std::filesystem::path(level) / level / level / level);
    const auto file = files.write(deep.lexically_relative(files.location()) / L"文件.txt", "deep");
    ASSERT_GT(file.wstring().size(), 260u);
    const Drop drop(program, {file, files.location() / level});
    ASSERT_TRUE(drop.posted());
    EXPECT_TRUE(ListShows(program, EntriesFor({file, file})));
}

TEST_F(DropTest, DroppedFilesCanBeShredded) {
    const auto a = files.write(L"a.txt", "a");
    const Drop drop(program, {a});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(ListShows(program, EntriesFor({a})));
    ASSERT_TRUE(StartEnabled(program));
    ASSERT_TRUE(Press(program.control(layout::kCommand3)));
    HWND confirmation = WaitForDialog(program);
    ASSERT_TRUE(Press(confirmation, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !std::filesystem::exists(a); }));
}

}  // namespace
}  // namespace shredder::testing
