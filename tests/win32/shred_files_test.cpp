// The shred run over real files through the Win32 file system.
#include <gtest/gtest.h>

#include "collect/collect.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"
#include "shred/shred_files.h"
#include "tests/fakes/fake_controls.h"
#include "tests/win32/temp_folder.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

class RealShredRun : public ::testing::Test {
protected:
    TempFolder temp;
    Win32FileSystem fs;
    shredder::testing::FakeProgressBar progress;
    std::vector<ListedFile> files;

    ShredOutcome run() { return ShredFiles(files, fs, progress); }
    std::string add(const std::string& name, const std::string& content) {
        const std::string path = temp / name;
        WriteTestFile(path, content);
        files.push_back(ListFile(path, fs));
        return path;
    }
};

TEST_F(RealShredRun, EveryListedFileIsGone) {
    MakeFolder(temp / "長い名前");
    const std::vector<std::string> paths{
        add("empty.txt", ""),
        add("small.txt", "secret"),
        add("exact.bin", std::string(1'000'000, 'A')),
        add("big.bin", std::string(2'500'001, 'B')),
        add("長い名前\\😀 한국어.txt", "secret"),
    };
    SetAttributes(paths[1], FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    files.push_back(files.back());  // the same path twice

    const ShredOutcome outcome = run();

    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.finished, files.size());
    EXPECT_EQ(outcome.bytesWritten, 6u + 1'000'000u + 2'500'001u + 6u);
    for (const std::string& path : paths) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_TRUE(Exists(temp / "長い名前"));  // folders stay
}

TEST_F(RealShredRun, AFileHeldOpenElsewhereStopsTheRunThere) {
    const std::string first = add("first.txt", "one");
    const std::string held = add("held.txt", "two");
    const std::string last = add("last.txt", "three");
    ShredOutcome outcome;
    {
        // Another program has the file open without sharing.
        const unique_hfile other(::CreateFileW(SystemForm(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(other);
        outcome = run();
    }
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(ReadTestFile(held), "two");
    EXPECT_EQ(ReadTestFile(last), "three");
    EXPECT_EQ(outcome.finished, 1u);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->path, held);
    EXPECT_EQ(outcome.failure->error.kind, ErrorKind::SharingViolation);
}

TEST_F(RealShredRun, AMissingFileStopsTheRunBeforeAnythingIsOverwrittenAndIsNotCreated) {
    const std::string kept = add("kept.txt", "keep me");
    const std::string vanished = add("vanished.txt", "moved away");
    ::DeleteFileW(SystemForm(vanished).c_str());
    const ShredOutcome outcome = run();
    EXPECT_EQ(ReadTestFile(kept), "keep me");
    EXPECT_FALSE(Exists(vanished));
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->error.kind, ErrorKind::NotFound);
    EXPECT_EQ(outcome.finished, 0u);
}

TEST_F(RealShredRun, ADeleteTheSystemDidNotCarryOutIsReportedNotCalledDone) {
    MakeFolder(temp / "kept");
    WriteTestFile(temp / "kept\\f.txt", "secret");
    files.push_back(ListFile(temp / "kept\\f.txt", fs));
    if (!SetAppendOnly(temp / "kept", true)) GTEST_SKIP() << "needs Wine and chattr";
    const ShredOutcome outcome = run();
    EXPECT_TRUE(SetAppendOnly(temp / "kept", false));
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->step, ShredStep::Delete);
    EXPECT_EQ(outcome.failure->error.kind, ErrorKind::NotDeleted);
    EXPECT_EQ(outcome.finished, 0u);
}

}  // namespace
}  // namespace shredder::testing
