// The Win32 file system over real folders under the temporary folder.
#include <gtest/gtest.h>

#include "platform/sys_error.h"
#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_file_system.h"
#include "tests/win32/temp_folder.h"

namespace shredder::win32::testing {
namespace {

struct Listed {
    std::string name;
    bool isDirectory, isHidden, isLink;
    bool operator<(const Listed& other) const { return name < other.name; }
    bool operator==(const Listed&) const = default;
};

class Win32FileSystemTest : public ::testing::Test {
protected:
    TempFolder temp;
    Win32FileSystem fs;

    std::vector<Listed> list(const std::string& folder) {
        std::vector<Listed> entries;
        const Failure failed = fs.listDirectory(folder, [&](const DirEntry& e) {
            entries.push_back({e.name, e.isDirectory, e.isHidden, e.isLink});
        });
        EXPECT_FALSE(failed) << (failed ? DescribeInChinese(*failed) : "");
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    // Opens, zeroes the whole content, flushes, closes: the run's steps without the delete.
    void overwrite(const std::string& path) {
        OpenOutcome opened = fs.openForOverwrite(path);
        ASSERT_FALSE(opened.error) << DescribeInChinese(*opened.error);
        ASSERT_FALSE(opened.isLink);
        std::uint64_t n = 0;
        ASSERT_FALSE(opened.file->length(n));
        const std::string zeros(static_cast<std::size_t>(n), '\0');
        ASSERT_FALSE(opened.file->write(zeros.data(), zeros.size()));
        ASSERT_FALSE(opened.file->flush());
        ASSERT_FALSE(opened.file->close());
    }
};

BY_HANDLE_FILE_INFORMATION IdentityOf(const std::string& path) {
    const unique_hfile file(::CreateFileW(ForFileCall(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(file && ::GetFileInformationByHandle(file.get(), &info));
    return info;
}

TEST_F(Win32FileSystemTest, ResetClearsReadOnlyHiddenAndSystemSoTheFileCanBeDeleted) {
    const std::string path = temp / "locked.txt";
    WriteTestFile(path, "secret");
    SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    // Read-only files cannot be deleted until reset.
    ASSERT_TRUE(fs.remove(path));

    ASSERT_FALSE(fs.resetAttributes(path));
    EXPECT_EQ(AttributesOf(path) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_FALSE(fs.remove(path));
    EXPECT_FALSE(Exists(path));
}

TEST_F(Win32FileSystemTest, OverwritesInPlaceWithoutChangingSizeOrFileIdentity) {
    const std::string path = temp / "data.bin";
    const std::string secret(1'500'000, 'S');
    WriteTestFile(path, secret);
    const BY_HANDLE_FILE_INFORMATION before = IdentityOf(path);

    overwrite(path);

    EXPECT_EQ(ReadTestFile(path), std::string(secret.size(), '\0'));
    const BY_HANDLE_FILE_INFORMATION after = IdentityOf(path);
    EXPECT_EQ(after.nFileIndexHigh, before.nFileIndexHigh);
    EXPECT_EQ(after.nFileIndexLow, before.nFileIndexLow);
}

TEST_F(Win32FileSystemTest, OpeningNeverTruncates) {
    const std::string path = temp / "keep.txt";
    WriteTestFile(path, "0123456789");
    OpenOutcome opened = fs.openForOverwrite(path);
    ASSERT_TRUE(opened.file);
    std::uint64_t n = 0;
    ASSERT_FALSE(opened.file->length(n));
    EXPECT_EQ(n, 10u);
    ASSERT_FALSE(opened.file->write("ab", 2));
    ASSERT_FALSE(opened.file->close());
    EXPECT_EQ(ReadTestFile(path), "ab23456789");
}

TEST_F(Win32FileSystemTest, OpeningAMissingFileCreatesItEmpty) {
    const std::string path = temp / "new.txt";
    OpenOutcome opened = fs.openForOverwrite(path);
    ASSERT_TRUE(opened.file);
    std::uint64_t n = 99;
    ASSERT_FALSE(opened.file->length(n));
    EXPECT_EQ(n, 0u);
    ASSERT_FALSE(opened.file->close());
    EXPECT_EQ(ReadTestFile(path), "");
}

TEST_F(Win32FileSystemTest, AnOpenFileIsNotSharedAndIsReleasedWhenDestroyedUnclosed) {
    const std::string path = temp / "busy.txt";
    WriteTestFile(path, "x");
    {
        OpenOutcome opened = fs.openForOverwrite(path);
        ASSERT_TRUE(opened.file);
        const OpenOutcome second = fs.openForOverwrite(path);
        ASSERT_TRUE(second.error);
        EXPECT_EQ(second.error->kind, ErrorKind::SharingViolation);
    }
    EXPECT_FALSE(fs.remove(path));
}

TEST_F(Win32FileSystemTest, CloseReleasesTheHandleAndRefusesASecondClose) {
    const std::string path = temp / "once.txt";
    WriteTestFile(path, "x");
    OpenOutcome opened = fs.openForOverwrite(path);
    ASSERT_TRUE(opened.file);
    ASSERT_FALSE(opened.file->close());
    EXPECT_TRUE(opened.file->close());
    EXPECT_TRUE(opened.file->write("y", 1));
    EXPECT_FALSE(fs.remove(path));  // nothing holds it any more
}

TEST_F(Win32FileSystemTest, AFolderIsNotOpenedAsAFile) {
    const std::string folder = temp / "sub";
    MakeFolder(folder);
    const OpenOutcome opened = fs.openForOverwrite(folder);
    EXPECT_FALSE(opened.file);
    EXPECT_FALSE(opened.isLink);
    ASSERT_TRUE(opened.error);
    EXPECT_EQ(opened.error->kind, ErrorKind::NotARegularFile);
}

TEST_F(Win32FileSystemTest, DeletingAMissingFileSaysSoInChinese) {
    const Failure failed = fs.remove(temp / "missing.txt");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, ErrorKind::NotFound);
    EXPECT_EQ(failed->code, 2);
    EXPECT_EQ(DescribeInChinese(*failed), "系统找不到指定的文件。");
}

TEST_F(Win32FileSystemTest, AMissingFolderInThePathIsReportedAsSuch) {
    const Failure failed = fs.resetAttributes(temp / "no-such-folder\\a.txt");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, ErrorKind::PathNotFound);
}

TEST_F(Win32FileSystemTest, KindOfTellsFilesFoldersAndMissingPathsApart) {
    WriteTestFile(temp / "f", "x");
    MakeFolder(temp / "d");
    EXPECT_EQ(fs.kindOf(temp / "f"), PathKind::File);
    EXPECT_EQ(fs.kindOf(temp / "d"), PathKind::Directory);
    EXPECT_EQ(fs.kindOf(temp / "d\\"), PathKind::Directory);
    EXPECT_EQ(fs.kindOf(temp / "nothing"), PathKind::Missing);
}

TEST_F(Win32FileSystemTest, ListsEntriesWithFolderAndHiddenFlags) {
    WriteTestFile(temp / "plain.txt", "x");
    WriteTestFile(temp / "hidden.txt", "x");
    WriteTestFile(temp / "system.txt", "x");
    MakeFolder(temp / "folder");
    MakeFolder(temp / "hidden-folder");
    SetAttributes(temp / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(temp / "system.txt", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(temp / "hidden-folder", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);

    const std::vector<Listed> expected{
        {"folder", true, false, false},     {"hidden-folder", true, true, false}, {"hidden.txt", false, true, false},
        {"plain.txt", false, false, false}, {"system.txt", false, true, false},
    };
    EXPECT_EQ(list(temp.path()), expected);
    EXPECT_EQ(list(temp.path() + "\\"), expected);  // with the trailing separator too
}

TEST_F(Win32FileSystemTest, AnEmptyFolderListsNothing) {
    MakeFolder(temp / "empty");
    EXPECT_TRUE(list(temp / "empty").empty());
}

TEST_F(Win32FileSystemTest, ListingAMissingFolderFails) {
    const Failure failed = fs.listDirectory(temp / "gone", [](const DirEntry&) { FAIL(); });
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, ErrorKind::PathNotFound);
}

TEST_F(Win32FileSystemTest, PathsLongerThanMaxPathWork) {
    // Nested folders of 50 characters each, far beyond 260.
    std::string folder = temp.path();
    for (int level = 0; level < 8; ++level) {
        folder += "\\" + std::string(49, static_cast<char>('a' + level)) + std::to_string(level);
        MakeFolder(folder);
    }
    const std::string path = folder + "\\" + std::string(100, 'f') + ".txt";
    ASSERT_GT(path.size(), 500u);
    WriteTestFile(path, "long secret");

    EXPECT_EQ(fs.kindOf(path), PathKind::File);
    EXPECT_EQ(list(folder), (std::vector<Listed>{{std::string(100, 'f') + ".txt", false, false, false}}));
    ASSERT_FALSE(fs.resetAttributes(path));
    overwrite(path);
    EXPECT_EQ(ReadTestFile(path), std::string(11, '\0'));
    EXPECT_FALSE(fs.remove(path));
    EXPECT_FALSE(Exists(path));
}

TEST_F(Win32FileSystemTest, NamesOutsideTheChineseCodePageWork) {
    const std::vector<std::string> names{"emoji-😀🔥.txt", "日本語のファイル.txt", "한국어 파일.txt", "中文文件.txt"};
    MakeFolder(temp / "かな");
    for (const std::string& name : names) WriteTestFile(temp / ("かな\\" + name), "secret " + name);

    std::vector<Listed> expected;
    for (const std::string& name : names) expected.push_back({name, false, false, false});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(list(temp / "かな"), expected);

    for (const std::string& name : names) {
        const std::string path = temp / ("かな\\" + name);
        overwrite(path);
        EXPECT_EQ(ReadTestFile(path).find_first_not_of('\0'), std::string::npos) << name;
        EXPECT_FALSE(fs.remove(path)) << name;
        EXPECT_FALSE(Exists(path)) << name;
    }
}

TEST_F(Win32FileSystemTest, ForwardSlashesAreAcceptedAsTheSkinPathHasOne) {
    WriteTestFile(temp / "Aero.she", "x");
    EXPECT_EQ(fs.kindOf(temp.path() + "/Aero.she"), PathKind::File);
}

}  // namespace
}  // namespace shredder::win32::testing
