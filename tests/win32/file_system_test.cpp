// Names taken literally, listing and paths, under Wine.
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_api.h"
#include "tests/win32/file_system_fixture.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

TEST_F(Win32FileSystemTest, NamesWithATrailingDotOrSpaceAreNotTheNamesWithout) {
    for (const auto& [shredded, kept] : {std::pair<std::string, std::string>{"report.", "report"}, {"notes ", "notes"},
                                         {"report", "report."}, {"x. .", "x"}}) {
        SCOPED_TRACE(shredded);
        WriteTestFile(temp / shredded, "listed secret");
        WriteTestFile(temp / kept, "unlisted data");
        EXPECT_EQ(names(temp.path()), (std::vector<std::string>{std::min(shredded, kept), std::max(shredded, kept)}));

        shred(listed(temp / shredded));

        EXPECT_EQ(names(temp.path()), std::vector<std::string>{kept});
        EXPECT_EQ(ReadTestFile(temp / kept), "unlisted data");
        SetAttributes(temp / kept, FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(::DeleteFileW(SystemForm(temp / kept).c_str()));
    }
}

TEST_F(Win32FileSystemTest, DeviceNamesInAFolderAreOrdinaryFiles) {
    const std::vector<std::string> devices{"CON", "aux.txt", "com1", "lpt1.log", "nul", "prn"};
    for (const std::string& name : devices) WriteTestFile(temp / name, "secret " + name);
    EXPECT_EQ(names(temp.path()), devices);
    for (const std::string& name : devices) {
        EXPECT_EQ(fs.kindOf(temp / name), EntryKind::File) << name;
        shred(listed(temp / name));
    }
    EXPECT_TRUE(names(temp.path()).empty());
}

TEST_F(Win32FileSystemTest, AFolderWithATrailingDotIsWalkedAndShreddedAsItself) {
    MakeFolder(temp / "dirx.");
    MakeFolder(temp / "dirx");
    MakeFolder(temp / "sp ");
    WriteTestFile(temp / "dirx.\\in-dirx-dot", "a");
    WriteTestFile(temp / "dirx\\in-dirx", "b");
    WriteTestFile(temp / "sp \\f.", "c");

    EXPECT_EQ(names(temp / "dirx."), std::vector<std::string>{"in-dirx-dot"});
    FileId dotted, plain;
    ASSERT_FALSE(fs.identifyFolder(temp / "dirx.", dotted));
    ASSERT_FALSE(fs.identifyFolder(temp / "dirx", plain));
    EXPECT_FALSE(dotted == plain);

    shred(listed(temp / "dirx.\\in-dirx-dot"));
    shred(listed(temp / "sp \\f."));
    EXPECT_TRUE(names(temp / "dirx.").empty());
    EXPECT_TRUE(names(temp / "sp ").empty());
    EXPECT_EQ(ReadTestFile(temp / "dirx\\in-dirx"), "b");
}

TEST_F(Win32FileSystemTest, FoldersAndDevicePathsAreNeverOpenedForWriting) {
    MakeFolder(temp / "sub");
    const OpenOutcome folder = fs.openForOverwrite(listed(temp / "sub"));
    EXPECT_FALSE(folder.file);
    ASSERT_TRUE(folder.error);
    EXPECT_EQ(folder.error->kind, ErrorKind::NotARegularFile);

    FileId id;
    ASSERT_FALSE(fs.identifyFolder(temp.path(), id));
    for (const std::string device : {"\\\\.\\nul", "\\\\.\\C:", "\\\\?\\GLOBALROOT\\Device\\Null", "\\\\?\\C:"}) {
        const OpenOutcome opened = fs.openForOverwrite(ListedFile{device, id});
        EXPECT_FALSE(opened.file) << device;
        EXPECT_TRUE(opened.error) << device;
        EXPECT_TRUE(ResetAttributes(fs, ListedFile{device, id})) << device;
        EXPECT_EQ(fs.kindOf(device), std::nullopt) << device;
        FileId ignored;
        EXPECT_TRUE(fs.identifyFolder(device, ignored)) << device;
        EXPECT_TRUE(fs.listDirectory(device, ignored, [](const DirEntry&) {
            ADD_FAILURE();
            return ListingStep::Stop;
        })) << device;
    }
}

TEST_F(Win32FileSystemTest, ListsKindsHiddenEntriesAndWhichFolderWasRead) {
    WriteTestFile(temp / "plain.txt", "x");
    WriteTestFile(temp / "hidden.txt", "x");
    WriteTestFile(temp / "system.txt", "x");
    MakeFolder(temp / "folder");
    SetAttributes(temp / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(temp / "system.txt", FILE_ATTRIBUTE_SYSTEM);

    const std::vector<Listed> expected{{"folder", EntryKind::Directory, false, false},
                                       {"hidden.txt", EntryKind::File, false, true},
                                       {"plain.txt", EntryKind::File, false, false},
                                       {"system.txt", EntryKind::File, false, true}};
    EXPECT_EQ(list(temp.path()), expected);
    EXPECT_EQ(list(temp.path() + "\\"), expected);

    FileId listedId, identified;
    ASSERT_FALSE(fs.listDirectory(temp.path(), listedId, [](const DirEntry&) { return ListingStep::Continue; }));
    ASSERT_FALSE(fs.identifyFolder(temp.path(), identified));
    EXPECT_EQ(listedId, identified);
    FileId other;
    ASSERT_FALSE(fs.identifyFolder(temp / "folder", other));
    EXPECT_FALSE(other == identified);
}

TEST_F(Win32FileSystemTest, EmptyAndMissingFoldersAndADriveRoot) {
    MakeFolder(temp / "empty");
    EXPECT_TRUE(list(temp / "empty").empty());

    FileId id;
    const Failure missing = fs.listDirectory(temp / "gone", id, [](const DirEntry&) {
        ADD_FAILURE();
        return ListingStep::Stop;
    });
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->kind == ErrorKind::NotFound || missing->kind == ErrorKind::PathNotFound) << Describe(missing);

    // A root has no "." or "..", and is a folder however it is written.
    const std::string root = temp.path().substr(0, 3);
    for (const Listed& entry : list(root)) EXPECT_TRUE(entry.name != "." && entry.name != "..");
    EXPECT_EQ(fs.kindOf(root), EntryKind::Directory);
}

TEST_F(Win32FileSystemTest, KindOfTellsWhatAPathIsWithoutGoingThroughIt) {
    WriteTestFile(temp / "f", "x");
    MakeFolder(temp / "d");
    EXPECT_EQ(fs.kindOf(temp / "f"), EntryKind::File);
    EXPECT_EQ(fs.kindOf(temp / "d"), EntryKind::Directory);
    EXPECT_EQ(fs.kindOf(temp / "d\\"), EntryKind::Directory);
    EXPECT_EQ(fs.kindOf(temp / "nothing"), std::nullopt);
    EXPECT_EQ(fs.kindOf(temp.path() + "/f"), EntryKind::File);  // the skin's path has a slash
}

TEST_F(Win32FileSystemTest, OnlyRelativePathsAreMadeAbsolute) {
    EXPECT_EQ(fs.absolutePath("C:\\d\\report."), "C:\\d\\report.");
    EXPECT_EQ(fs.absolutePath("C:\\d\\com1"), "C:\\d\\com1");
    wchar_t previous[MAX_PATH]{};
    ASSERT_NE(::GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryW(Widen(temp.path()).c_str()));
    const std::string made = fs.absolutePath("x.txt");
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(made, temp / "x.txt");
}

TEST_F(Win32FileSystemTest, PathsLongerThanMaxPathWork) {
    std::string folder = temp.path();
    for (int level = 0; level < 8; ++level) {
        folder += "\\" + std::string(49, static_cast<char>('a' + level)) + std::to_string(level);
        MakeFolder(folder);
    }
    const std::string name = std::string(100, 'f') + ".txt";
    const std::string path = folder + "\\" + name;
    ASSERT_GT(path.size(), 500u);
    WriteTestFile(path, "long secret");

    EXPECT_EQ(fs.kindOf(path), EntryKind::File);
    EXPECT_EQ(names(folder), std::vector<std::string>{name});
    shred(listed(path));
    EXPECT_FALSE(Exists(path));
}

TEST_F(Win32FileSystemTest, NamesOutsideTheChineseCodePageWork) {
    const std::vector<std::string> files{"emoji-😀🔥.txt", "中文文件.txt", "日本語のファイル.txt", "한국어 파일.txt"};
    MakeFolder(temp / "かな");
    for (const std::string& name : files) WriteTestFile(temp / ("かな\\" + name), "secret " + name);
    std::vector<std::string> expected = files;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(temp / "かな"), expected);
    for (const std::string& name : files) shred(listed(temp / ("かな\\" + name)));
    EXPECT_TRUE(names(temp / "かな").empty());
}

}  // namespace
}  // namespace shredder::testing
