// The real shred run over real files through the Win32 file system; controls are fakes.
#include <gtest/gtest.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"
#include "shred/shred_run.h"
#include "tests/fakes/fake_controls.h"
#include "tests/win32/temp_folder.h"

namespace shredder::win32::testing {
namespace {

using shredder::testing::FakeButton;
using shredder::testing::FakeListBox;
using shredder::testing::FakeMessageBox;
using shredder::testing::FakeProgressBar;

class RealShredRun : public ::testing::Test {
protected:
    TempFolder temp;
    Win32FileSystem fs;
    FakeListBox list;
    FakeButton startButton;
    FakeProgressBar progress;
    FakeMessageBox messages;

    void run() { Command3_Click({list, startButton, progress, messages, fs}); }
    std::string add(const std::string& name, const std::string& content) {
        const std::string path = temp / name;
        WriteTestFile(path, content);
        list.append(path);
        return path;
    }
};

TEST_F(RealShredRun, EveryListedFileIsGoneAndTheListEmpty) {
    MakeFolder(temp / "長い名前");
    const std::vector<std::string> paths{
        add("empty.txt", ""),
        add("small.txt", "secret"),
        add("exact.bin", std::string(1'000'000, 'A')),
        add("big.bin", std::string(2'500'001, 'B')),
        add("長い名前\\😀 한국어.txt", "secret"),
    };
    SetAttributes(paths[1], FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    run();

    for (const std::string& path : paths) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_TRUE(Exists(temp / "長い名前"));  // folders stay
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "完成文件粉碎！");
    EXPECT_TRUE(list.entries.empty());
    EXPECT_FALSE(startButton.enabled);
}

TEST_F(RealShredRun, TheSamePathTwiceCompletes) {
    const std::string path = add("twice.txt", "secret");
    list.append(path);
    run();
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(list.entries.empty());
}

TEST_F(RealShredRun, AFileHeldOpenElsewhereStopsTheRunWithItsNameAndReason) {
    const std::string first = add("first.txt", "one");
    const std::string held = add("held.txt", "two");
    const std::string last = add("last.txt", "three");
    {
        // Another program has the file open without sharing.
        const unique_hfile other(::CreateFileW(SystemForm(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(other);
        run();
    }
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(ReadTestFile(held), "two");
    EXPECT_EQ(ReadTestFile(last), "three");
    EXPECT_EQ(list.entries, (std::vector<std::string>{held, last}));
    EXPECT_TRUE(startButton.enabled);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].caption, "文件粉碎");
    EXPECT_EQ(messages.shown[1].icon, MessageIcon::Error);
    EXPECT_NE(messages.shown[1].text.find(held), std::string::npos);
    EXPECT_NE(messages.shown[1].text.find("另一个程序正在使用此文件"), std::string::npos);
}

TEST_F(RealShredRun, AMissingFileStopsTheRunBeforeAnythingIsOverwritten) {
    const std::string kept = add("kept.txt", "keep me");
    list.append(temp / "vanished.txt");
    run();
    EXPECT_EQ(ReadTestFile(kept), "keep me");
    EXPECT_EQ(list.entries.size(), 2u);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("系统找不到指定的文件。"), std::string::npos);
}

}  // namespace
}  // namespace shredder::win32::testing
