// Adding whole folders through the shell's folder browser.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <deque>

#include "app/layout.h"
#include "app/texts.h"
#include "driver/dialogs.h"
#include "driver/folder_browser.h"
#include "driver/program.h"
#include "tests/win32/temp_folder.h"
#include "driver/text.h"
#include "user_steps.h"
#include "window_test.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;

// The files below `root` in the order a user should see them listed: the folder's own files
// in the order the file system lists them, then each subfolder's in the order the subfolders
// were found, breadth first; hidden and system entries left out.
std::vector<std::wstring> WalkOrder(const std::filesystem::path& root) {
    std::vector<std::wstring> files;
    std::deque<std::filesystem::path> folders{root};
    while (!folders.empty()) {
        const auto folder = folders.front();
        folders.pop_front();
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((folder / L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                folders.push_back(folder / name);
            } else {
                files.push_back((folder / name).wstring());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    return files;
}

class AddFolderTest : public WindowTest {};

TEST_F(AddFolderTest, BrowserAsksForAFolderAndBelongsToTheWindow) {
    ASSERT_TRUE(Press(program.control(layout::kCommand2)));
    const FolderBrowser browser(program);
    ASSERT_TRUE(browser);
    const auto prompts = browser.prompts();
    EXPECT_NE(std::find(prompts.begin(), prompts.end(), Wide(shredder::texts::kChooseFolder)), prompts.end());
    EXPECT_TRUE(browser.cancel());
}

TEST_F(AddFolderTest, ChosenFolderAddsItsFilesInWalkOrder) {
    const auto tree = files.makeFolder(L"tree");
    files.write(L"tree/x.txt", "x");
    files.write(L"tree/y.txt", "y");
    files.write(L"tree/s/s1.txt", "s1");
    files.write(L"tree/s/deeper/d.txt", "d");
    files.write(L"tree/t/t1.txt", "t1");
    files.write(L"tree/t/t2 文件.txt", "t2");
    files.makeFolder(L"tree/empty");
    const auto hidden = files.write(L"tree/hidden.txt", "h");
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    const auto system = files.write(L"tree/system-folder/inside.txt", "s");
    ::SetFileAttributesW(system.parent_path().c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
    const auto before = files.write(L"before.txt", "b");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"before.txt"}));

    ASSERT_TRUE(AddFolder(program, tree));

    std::vector<std::wstring> expected{before.wstring()};
    for (const auto& entry : WalkOrder(tree)) expected.push_back(entry);
    ASSERT_EQ(expected.size(), 7u) << "the tree holds six files a user can see";
    EXPECT_EQ(Entries(program), expected);
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(AddFolderTest, FolderWithOnlySubfoldersStillEnablesStart) {
    const auto tree = files.makeFolder(L"only-folders/a/b");
    ASSERT_TRUE(AddFolder(program, tree.parent_path().parent_path()));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(AddFolderTest, CancelKeepsTheListAndEnablesStart) {
    ASSERT_TRUE(CancelAddFolder(program));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_TRUE(StartEnabled(program));
    EXPECT_TRUE(DialogsOf(program).empty());
}

TEST_F(AddFolderTest, CancelAfterFilesKeepsThem) {
    const auto a = files.write(L"a.txt", "a");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt"}));
    ASSERT_TRUE(CancelAddFolder(program));
    EXPECT_EQ(Entries(program), EntriesFor({a}));
    EXPECT_TRUE(StartEnabled(program));
}

}  // namespace
}  // namespace shredder::testing
