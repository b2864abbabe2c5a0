// What the run opens and writes: only the listed file, in the listed folder, never through a
// link; under Wine.
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_api.h"
#include "tests/win32/file_system_fixture.h"

#include <winioctl.h>

namespace shredder::testing {
namespace {

using namespace shredder::win32;

BY_HANDLE_FILE_INFORMATION InfoOf(const std::string& path) {
    const unique_hfile file(::CreateFileW(SystemForm(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(file && ::GetFileInformationByHandle(file.get(), &info)) << path;
    return info;
}

TEST_F(Win32FileSystemTest, ALinkToAFileIsNeverWrittenThrough) {
    MakeFolder(temp / "in");
    MakeFolder(temp / "out");
    WriteTestFile(temp / "out\\target", "target secret");
    SetAttributes(temp / "out\\target", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    if (!MakeSymbolicLink(temp / "in\\abs", temp / "out\\target", false)) GTEST_SKIP() << "no symbolic links here";

    expectLinkNotFollowed(listed(temp / "in\\abs"));

    EXPECT_EQ(ReadTestFile(temp / "out\\target"), "target secret");
    EXPECT_EQ(AttributesOf(temp / "out\\target") & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(Win32FileSystemTest, ALinkWithATrailingDotToItsSiblingIsNotTakenForIt) {
    // Wine reports the file reached through "report." as "report": the name alone cannot tell.
    WriteTestFile(temp / "report", "unlisted data");
    if (!MakeSymbolicLink(temp / "report.", temp / "report", false)) GTEST_SKIP() << "no symbolic links here";

    expectLinkNotFollowed(listed(temp / "report."));

    EXPECT_EQ(ReadTestFile(temp / "report"), "unlisted data");
}

TEST_F(Win32FileSystemTest, ANameInAnotherCaseIsTheFileOnlyWhenTheFolderSpellsItSo) {
    // As a user types it in the open dialog: the file itself.
    WriteTestFile(temp / "notes.txt", "listed");
    OpenOutcome typed = fs.openForOverwrite(listed(temp / "Notes.TXT"));
    ASSERT_TRUE(typed.file) << Describe(typed.error);
    EXPECT_FALSE(typed.isLink);
    EXPECT_FALSE(typed.file->close());
    // Where names are case-sensitive, another file.
    WriteTestFile(temp / "REPORT.txt", "unlisted data");
    if (!MakeSymbolicLink(temp / "report.txt", temp / "REPORT.txt", false)) GTEST_SKIP() << "no symbolic links here";

    expectLinkNotFollowed(listed(temp / "report.txt"));

    EXPECT_EQ(ReadTestFile(temp / "REPORT.txt"), "unlisted data");
}

TEST_F(Win32FileSystemTest, ALinkToAFolderIsListedAsALinkAndNeverOpenedForWriting) {
    MakeFolder(temp / "out");
    WriteTestFile(temp / "out\\inside", "x");
    if (!MakeSymbolicLink(temp / "dlink", temp / "out", true)) GTEST_SKIP() << "no symbolic links here";

    EXPECT_EQ(list(temp.path()), (std::vector<Listed>{{"dlink", EntryKind::Link, true, false},
                                                      {"out", EntryKind::Directory, false, false}}));
    EXPECT_EQ(fs.kindOf(temp / "dlink"), EntryKind::Link);
    expectLinkNotFollowed(listed(temp / "dlink"));
    EXPECT_EQ(ReadTestFile(temp / "out\\inside"), "x");
}

TEST_F(Win32FileSystemTest, AFolderSwappedForALinkAfterListingDoesNotRedirectTheRun) {
    MakeFolder(temp / "in");
    WriteTestFile(temp / "in\\secret", "listed");
    MakeFolder(temp / "victim");
    WriteTestFile(temp / "victim\\secret", "someone else's");
    SetAttributes(temp / "victim\\secret", FILE_ATTRIBUTE_HIDDEN);
    const ListedFile file = listed(temp / "in\\secret");

    RenameTestEntry(temp / "in", temp / "in-old");
    if (!MakeSymbolicLink(temp / "in", temp / "victim", true)) GTEST_SKIP() << "no symbolic links here";

    const Failure reset = ResetAttributes(fs, file);
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->kind, ErrorKind::ChangedSinceListed);
    const OpenOutcome opened = fs.openForOverwrite(file);
    EXPECT_FALSE(opened.file);
    ASSERT_TRUE(opened.error);
    EXPECT_EQ(opened.error->kind, ErrorKind::ChangedSinceListed);
    EXPECT_EQ(ReadTestFile(temp / "victim\\secret"), "someone else's");
    EXPECT_NE(AttributesOf(temp / "victim\\secret") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(Win32FileSystemTest, AFolderReplacedByAnotherOrNeverIdentifiedIsNotWrittenIn) {
    MakeFolder(temp / "in");
    WriteTestFile(temp / "in\\secret", "listed");
    const ListedFile file = listed(temp / "in\\secret");
    RenameTestEntry(temp / "in", temp / "in-old");
    MakeFolder(temp / "in");
    WriteTestFile(temp / "in\\secret", "newcomer");

    for (const ListedFile& attempt : {file, ListedFile{temp / "in-old\\secret", std::nullopt}}) {
        const OpenOutcome opened = fs.openForOverwrite(attempt);
        EXPECT_FALSE(opened.file) << attempt.path;
        ASSERT_TRUE(opened.error) << attempt.path;
        EXPECT_EQ(opened.error->kind, ErrorKind::ChangedSinceListed) << attempt.path;
    }
    EXPECT_EQ(ReadTestFile(temp / "in\\secret"), "newcomer");
    EXPECT_EQ(ReadTestFile(temp / "in-old\\secret"), "listed");
}

TEST_F(Win32FileSystemTest, AFileThatVanishedIsReportedAndNeverCreated) {
    const ListedFile file = listed(temp / "gone.txt");
    const OpenOutcome opened = fs.openForOverwrite(file);
    EXPECT_FALSE(opened.file);
    ASSERT_TRUE(opened.error);
    EXPECT_EQ(opened.error->kind, ErrorKind::NotFound);
    const Failure reset = ResetAttributes(fs, file);
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->kind, ErrorKind::NotFound);
    EXPECT_FALSE(Exists(temp / "gone.txt"));
}

TEST_F(Win32FileSystemTest, TheFolderIsHeldWhileTheWorkRunsAndLetGoAfter) {
    MakeFolder(temp / "in");
    WriteTestFile(temp / "in\\f", "x");
    OpenOutcome opened = fs.openForOverwrite(listed(temp / "in\\f"));
    ASSERT_TRUE(opened.file) << Describe(opened.error);
    EXPECT_FALSE(::MoveFileExW(SystemForm(temp / "in").c_str(), SystemForm(temp / "elsewhere").c_str(), 0));
    ASSERT_FALSE(opened.file->close());
    // Still held for the next file in it, until the work is over.
    EXPECT_FALSE(::MoveFileExW(SystemForm(temp / "in").c_str(), SystemForm(temp / "elsewhere").c_str(), 0));
    fs.workEnded();
    EXPECT_TRUE(::MoveFileExW(SystemForm(temp / "in").c_str(), SystemForm(temp / "elsewhere").c_str(), 0));
}

TEST_F(Win32FileSystemTest, HardLinksAreCounted) {
    WriteTestFile(temp / "one", "shared");
    WriteTestFile(temp / "alone", "x");
    ASSERT_TRUE(::CreateHardLinkW(SystemForm(temp / "two").c_str(), SystemForm(temp / "one").c_str(), nullptr));
    for (const auto& [name, expected] : {std::pair<std::string, std::uint32_t>{"one", 2}, {"alone", 1}}) {
        OpenOutcome opened = fs.openForOverwrite(listed(temp / name));
        ASSERT_TRUE(opened.file) << Describe(opened.error);
        std::uint32_t count = 0;
        ASSERT_FALSE(opened.file->nameCount(count));
        EXPECT_EQ(count, expected) << name;
    }
}

TEST_F(Win32FileSystemTest, WritesLandAtTheirOffsetsInTheSameFileWithoutTruncating) {
    const std::string path = temp / "keep.txt";
    WriteTestFile(path, "0123456789");
    const BY_HANDLE_FILE_INFORMATION before = InfoOf(path);
    OpenOutcome opened = fs.openForOverwrite(listed(path));
    ASSERT_TRUE(opened.file) << Describe(opened.error);
    std::uint64_t length = 0;
    ASSERT_FALSE(opened.file->length(length));
    EXPECT_EQ(length, 10u);
    ASSERT_FALSE(opened.file->writeAt(7, "XY", 2));
    ASSERT_FALSE(opened.file->writeAt(2, "ab", 2));
    ASSERT_FALSE(opened.file->flush());
    ASSERT_FALSE(opened.file->close());

    EXPECT_EQ(ReadTestFile(path), "01ab456XY9");
    const BY_HANDLE_FILE_INFORMATION after = InfoOf(path);
    EXPECT_EQ(after.nFileIndexLow, before.nFileIndexLow);
    EXPECT_EQ(after.nFileIndexHigh, before.nFileIndexHigh);
}

TEST_F(Win32FileSystemTest, TheFileDeletedIsTheOpenFileWhenItIsClosed) {
    const std::string path = temp / "doomed";
    WriteTestFile(path, "x");
    OpenOutcome opened = fs.openForOverwrite(listed(path));
    ASSERT_TRUE(opened.file) << Describe(opened.error);
    ASSERT_FALSE(opened.file->remove());
    ASSERT_FALSE(opened.file->close());
    EXPECT_FALSE(Exists(path));
}

TEST_F(Win32FileSystemTest, AnOpenFileIsSharedWithNoOneAndCloseIsOnce) {
    const std::string path = temp / "busy.txt";
    WriteTestFile(path, "x");
    OpenOutcome opened = fs.openForOverwrite(listed(path));
    ASSERT_TRUE(opened.file) << Describe(opened.error);
    const OpenOutcome second = fs.openForOverwrite(listed(path));
    ASSERT_TRUE(second.error);
    EXPECT_EQ(second.error->kind, ErrorKind::SharingViolation);

    ASSERT_FALSE(opened.file->close());
    EXPECT_TRUE(opened.file->close());
    EXPECT_TRUE(opened.file->writeAt(0, "y", 1));
    EXPECT_TRUE(opened.file->remove());
    EXPECT_TRUE(fs.openForOverwrite(listed(path)).file);  // nothing holds it any more
}

TEST_F(Win32FileSystemTest, ResetClearsReadOnlyHiddenAndSystemThroughTheHandle) {
    const std::string path = temp / "locked.txt";
    WriteTestFile(path, "secret");
    SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_FALSE(ResetAttributes(fs, listed(path)));
    EXPECT_EQ(AttributesOf(path) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    shred(listed(path));
    EXPECT_FALSE(Exists(path));
}

TEST_F(Win32FileSystemTest, DataRangesCoverTheDataOfPlainEmptyAndSparseFiles) {
    WriteTestFile(temp / "plain", "abc");
    WriteTestFile(temp / "empty", "");
    std::vector<ByteRange> ranges;
    {
        OpenOutcome plain = fs.openForOverwrite(listed(temp / "plain"));
        ASSERT_TRUE(plain.file) << Describe(plain.error);
        ASSERT_FALSE(plain.file->dataRanges(ranges));
        EXPECT_EQ(ranges, (std::vector<ByteRange>{{0, 3}}));
        OpenOutcome empty = fs.openForOverwrite(listed(temp / "empty"));
        ASSERT_TRUE(empty.file) << Describe(empty.error);
        ASSERT_FALSE(empty.file->dataRanges(ranges));
        EXPECT_TRUE(ranges.empty());
    }

    // Wine accepts FSCTL_SET_SPARSE but keeps no sparse attribute: the whole file is data there.
    // On NTFS only the allocated part is, and the last byte must lie in it.
    constexpr std::uint64_t kLast = 8u << 20;
    {
        const unique_hfile file(::CreateFileW(SystemForm(temp / "sparse").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD bytes = 0;
        ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr);
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(kLast);
        ASSERT_TRUE(::WriteFile(file.get(), "S", 1, &bytes, &at));
    }
    OpenOutcome sparse = fs.openForOverwrite(listed(temp / "sparse"));
    ASSERT_TRUE(sparse.file) << Describe(sparse.error);
    ASSERT_FALSE(sparse.file->dataRanges(ranges));
    ASSERT_FALSE(ranges.empty());
    std::uint64_t end = 0;
    for (const ByteRange& range : ranges) {
        EXPECT_GE(range.offset, end);
        EXPECT_GT(range.length, 0u);
        end = range.offset + range.length;
    }
    EXPECT_EQ(end, kLast + 1);
    EXPECT_LE(ranges.back().offset, kLast);
}

TEST_F(Win32FileSystemTest, NamedStreamsAreListedAndOverwrittenInTheSameFile) {
    WriteTestFile(temp / "f", "main");
    OpenOutcome opened = fs.openForOverwrite(listed(temp / "f"));
    ASSERT_TRUE(opened.file) << Describe(opened.error);
    std::vector<std::string> streams{"stale"};
    // Wine has no streams: FindFirstStreamW says ERROR_HANDLE_EOF, which is none, not a failure.
    ASSERT_FALSE(opened.file->namedStreams(streams));
    EXPECT_TRUE(streams.empty());
    std::unique_ptr<OpenedData> stream;
    for (const std::string bad : {"", "x:$INDEX_ALLOCATION", "..\\f2", "a/b"}) {
        const Failure refused = opened.file->openNamedStream(bad, stream);
        ASSERT_TRUE(refused) << bad;
        EXPECT_EQ(refused->code, static_cast<long>(ERROR_INVALID_NAME)) << bad;
    }
    ASSERT_FALSE(opened.file->close());

    // Where the file system has streams, one written beside the file is found and overwritten.
    WriteTestFile(temp / "g", "main");
    WIN32_FIND_STREAM_DATA data{};
    if (!unique_hfind(::FindFirstStreamW(SystemForm(temp / "g").c_str(), FindStreamInfoStandard, &data, 0))) {
        GTEST_SKIP() << "no named streams on this file system";
    }
    WriteTestFile(temp / "g:Zone.Identifier", "[ZoneTransfer]");
    OpenOutcome g = fs.openForOverwrite(listed(temp / "g"));
    ASSERT_TRUE(g.file) << Describe(g.error);
    ASSERT_FALSE(g.file->namedStreams(streams));
    EXPECT_EQ(streams, std::vector<std::string>{"Zone.Identifier"});
    ASSERT_FALSE(g.file->openNamedStream("Zone.Identifier", stream));
    std::uint64_t length = 0;
    ASSERT_FALSE(stream->length(length));
    EXPECT_EQ(length, 14u);
    ASSERT_FALSE(stream->writeAt(0, std::string(14, '\0').data(), 14));
    ASSERT_FALSE(stream->close());
    ASSERT_FALSE(g.file->close());
    EXPECT_EQ(ReadTestFile(temp / "g:Zone.Identifier"), std::string(14, '\0'));
}

}  // namespace
}  // namespace shredder::testing

namespace shredder::testing {
namespace {

TEST_F(Win32FileSystemTest, AFileListedByItsShortNameIsLeftAloneAndTheReasonSaysSo) {
    WriteTestFile(temp / "a rather long file name.txt", "secret");
    std::wstring shortPath(1024, L'\0');
    const DWORD length = ::GetShortPathNameW(SystemForm(temp / "a rather long file name.txt").c_str(), shortPath.data(), 1024);
    shortPath.resize(length < 1024 ? length : 0);
    const std::string shortName = win32::Narrow(shortPath.substr(shortPath.rfind(L'\\') + 1));
    if (shortName.find('~') == std::string::npos) GTEST_SKIP() << "no short names here";

    OpenOutcome opened = fs.openForOverwrite(listed(temp / shortName));
    EXPECT_FALSE(opened.file);
    ASSERT_TRUE(opened.error);
    EXPECT_EQ(opened.error->kind, ErrorKind::ListedByShortName) << Describe(opened.error);
    EXPECT_EQ(ReadTestFile(temp / "a rather long file name.txt"), "secret");
}

}  // namespace
}  // namespace shredder::testing
