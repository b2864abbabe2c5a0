// How the layer reads what Windows reports: the answers Wine never gives, fed as values.
#include <gtest/gtest.h>

#include "platform/win32/file_facts.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

constexpr DWORD kFile = FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kReparse = FILE_ATTRIBUTE_REPARSE_POINT;

TEST(KindFromAttributes, NameSurrogatesAreLinksWhetherToFilesOrFolders) {
    EXPECT_EQ(KindFromAttributes(kFile | kReparse, IO_REPARSE_TAG_SYMLINK), EntryKind::Link);
    EXPECT_EQ(KindFromAttributes(kFolder | kReparse, IO_REPARSE_TAG_SYMLINK), EntryKind::Link);
    EXPECT_EQ(KindFromAttributes(kFolder | kReparse, IO_REPARSE_TAG_MOUNT_POINT), EntryKind::Link);
}

TEST(KindFromAttributes, AReparsePointWithoutATagIsALinkAsWineReportsItsFolderLinks) {
    EXPECT_EQ(KindFromAttributes(kFolder | kReparse, 0), EntryKind::Link);
    EXPECT_EQ(KindFromAttributes(kFile | kReparse, 0), EntryKind::Link);
}

TEST(KindFromAttributes, ReparsePointsThatHoldDataAreFilesAndFolders) {
    // A cloud placeholder, a deduplicated file and a compressed system file all hold the
    // user's data: shredding must overwrite them, not just unlink them.
    for (const DWORD tag : {IO_REPARSE_TAG_CLOUD_6, IO_REPARSE_TAG_DEDUP, IO_REPARSE_TAG_WOF}) {
        EXPECT_EQ(KindFromAttributes(kFile | kReparse, tag), EntryKind::File) << std::hex << tag;
        EXPECT_EQ(KindFromAttributes(kFolder | kReparse, tag), EntryKind::Directory) << std::hex << tag;
    }
}

TEST(KindFromAttributes, SocketsAndWslSpecialFilesAreNeitherFilesNorLinks) {
    EXPECT_EQ(KindFromAttributes(kFile | kReparse, IO_REPARSE_TAG_AF_UNIX), EntryKind::Other);
    EXPECT_EQ(KindFromAttributes(kFile | kReparse, 0x80000024), EntryKind::Other);  // FIFO
    EXPECT_EQ(KindFromAttributes(FILE_ATTRIBUTE_DEVICE, 0), EntryKind::Other);
}

TEST(KindFromAttributes, PlainEntriesAndStrayTags) {
    EXPECT_EQ(KindFromAttributes(kFile, 0), EntryKind::File);
    EXPECT_EQ(KindFromAttributes(FILE_ATTRIBUTE_NORMAL, 0), EntryKind::File);
    EXPECT_EQ(KindFromAttributes(kFolder | FILE_ATTRIBUTE_HIDDEN, 0), EntryKind::Directory);
    // dwReserved0 means nothing without the reparse attribute.
    EXPECT_EQ(KindFromAttributes(kFile, IO_REPARSE_TAG_SYMLINK), EntryKind::File);
}

FILE_ALLOCATED_RANGE_BUFFER Allocated(long long offset, long long length) {
    FILE_ALLOCATED_RANGE_BUFFER range{};
    range.FileOffset.QuadPart = offset;
    range.Length.QuadPart = length;
    return range;
}

TEST(DataRangesWithin, KeepsTheAllocatedRangesInOrder) {
    const FILE_ALLOCATED_RANGE_BUFFER answer[] = {Allocated(1 << 20, 65536), Allocated(0, 65536)};
    EXPECT_EQ(DataRangesWithin(answer, 2 << 20),
              (std::vector<ByteRange>{{0, 65536}, {1 << 20, 65536}}));
}

TEST(DataRangesWithin, ClipsToTheLengthAsClustersRunPastTheEnd) {
    const FILE_ALLOCATED_RANGE_BUFFER answer[] = {Allocated(0, 65536), Allocated(131072, 65536)};
    EXPECT_EQ(DataRangesWithin(answer, 100000), (std::vector<ByteRange>{{0, 65536}}));
    EXPECT_EQ(DataRangesWithin(answer, 140000), (std::vector<ByteRange>{{0, 65536}, {131072, 8928}}));
}

TEST(DataRangesWithin, MergesOverlappingAndTouchingRangesFromRepeatedQueries) {
    // Asking again after ERROR_MORE_DATA can return a range that was partly answered before.
    const FILE_ALLOCATED_RANGE_BUFFER answer[] = {Allocated(0, 4096), Allocated(4096, 4096), Allocated(6000, 4000),
                                                  Allocated(20000, 100)};
    EXPECT_EQ(DataRangesWithin(answer, 1 << 20), (std::vector<ByteRange>{{0, 10000}, {20000, 100}}));
}

TEST(DataRangesWithin, DropsEmptyAndNonsenseRanges) {
    const FILE_ALLOCATED_RANGE_BUFFER answer[] = {Allocated(0, 0), Allocated(-4096, 8192), Allocated(10, -1),
                                                  Allocated(500, 10)};
    EXPECT_EQ(DataRangesWithin(answer, 1000), (std::vector<ByteRange>{{500, 10}}));
    EXPECT_TRUE(DataRangesWithin({}, 1000).empty());  // all holes
}

TEST(DataRangesWithin, AHugeLengthDoesNotOverflowTheEnd) {
    const FILE_ALLOCATED_RANGE_BUFFER answer[] = {Allocated(0x7FFFFFFFFFFF0000, 0x7FFFFFFFFFFFFFFF)};
    EXPECT_EQ(DataRangesWithin(answer, 0x7FFFFFFFFFFF1000), (std::vector<ByteRange>{{0x7FFFFFFFFFFF0000, 0x1000}}));
}

TEST(WholeFile, OneRangeOrNoneForAnEmptyFile) {
    EXPECT_EQ(WholeFile(12345), (std::vector<ByteRange>{{0, 12345}}));
    EXPECT_TRUE(WholeFile(0).empty());
}

TEST(NamedStreamName, ReadsTheNameBetweenTheColons) {
    EXPECT_EQ(NamedStreamName(L":Zone.Identifier:$DATA"), L"Zone.Identifier");
    EXPECT_EQ(NamedStreamName(L":秘密 notes.txt:$DATA"), L"秘密 notes.txt");
    EXPECT_EQ(NamedStreamName(L":x:$data"), L"x");
}

TEST(NamedStreamName, LeavesOutTheMainStreamAndOtherTypes) {
    EXPECT_EQ(NamedStreamName(L"::$DATA"), std::nullopt);
    EXPECT_EQ(NamedStreamName(L":$I30:$INDEX_ALLOCATION"), std::nullopt);
    EXPECT_EQ(NamedStreamName(L""), std::nullopt);
    EXPECT_EQ(NamedStreamName(L"name"), std::nullopt);
}

TEST(IsPlainStreamName, RefusesWhatWouldReachAnotherStreamOrFile) {
    EXPECT_TRUE(IsPlainStreamName(L"Zone.Identifier"));
    EXPECT_FALSE(IsPlainStreamName(L""));
    EXPECT_FALSE(IsPlainStreamName(L"x:$INDEX_ALLOCATION"));
    EXPECT_FALSE(IsPlainStreamName(L"..\\other"));
    EXPECT_FALSE(IsPlainStreamName(L"a/b"));
}

constexpr std::wstring_view kFolderPath = L"\\Device\\HarddiskVolume1\\users\\me\\d";

TEST(PlaceOf, TheListedNameInTheListedFolder) {
    EXPECT_EQ(PlaceOf(kFolderPath, L"report.txt", L"\\Device\\HarddiskVolume1\\users\\me\\d\\report.txt"),
              Placement::Listed);
    // Folders are looked up without case; the last name is left to the folder's own spelling,
    // as "report.txt" can be a link to "REPORT.txt" where names are case-sensitive.
    EXPECT_EQ(PlaceOf(kFolderPath, L"report.txt", L"\\Device\\HarddiskVolume1\\Users\\me\\D\\report.txt"),
              Placement::Listed);
    EXPECT_EQ(PlaceOf(kFolderPath, L"report.txt", L"\\Device\\HarddiskVolume1\\users\\me\\d\\REPORT.txt"),
              Placement::ListedInOtherCase);
    EXPECT_EQ(PlaceOf(kFolderPath, L"report.", L"\\Device\\HarddiskVolume1\\users\\me\\d\\REPORT"),
              Placement::Elsewhere);
    EXPECT_TRUE(EndsInName(L"C:\\d\\REPORT.txt", L"REPORT.txt"));
    EXPECT_FALSE(EndsInName(L"C:\\d\\REPORT.txt", L"report.txt"));
    EXPECT_EQ(PlaceOf(L"\\Device\\HarddiskVolume1\\", L"a", L"\\Device\\HarddiskVolume1\\a"), Placement::Listed);
}

TEST(PlaceOf, ALinkWineDidNotReportShowsItsTargetsPath) {
    EXPECT_EQ(PlaceOf(kFolderPath, L"abs", L"\\Device\\HarddiskVolume1\\users\\me\\out\\target"),
              Placement::Elsewhere);
    EXPECT_EQ(PlaceOf(kFolderPath, L"abs", L"\\Device\\HarddiskVolume1\\users\\me\\d\\target"), Placement::Elsewhere);
    EXPECT_EQ(PlaceOf(kFolderPath, L"abs", L"\\Device\\HarddiskVolume2\\users\\me\\d\\abs"), Placement::Elsewhere);
    EXPECT_EQ(PlaceOf(kFolderPath, L"abs", L"\\Device\\HarddiskVolume1\\users\\me\\d\\sub\\abs"),
              Placement::Elsewhere);
}

TEST(PlaceOf, WinesTrimmedNamesMatchOnlyWithTheSiblingLeftToCheck) {
    // Wine gives "report." back as "report" and "notes " as "notes".
    EXPECT_EQ(PlaceOf(kFolderPath, L"report.", L"\\Device\\HarddiskVolume1\\users\\me\\d\\report"),
              Placement::ListedAsWineReportsIt);
    EXPECT_EQ(PlaceOf(kFolderPath, L"notes ", L"\\Device\\HarddiskVolume1\\users\\me\\d\\notes"),
              Placement::ListedAsWineReportsIt);
    // Windows keeps the name as it is.
    EXPECT_EQ(PlaceOf(kFolderPath, L"report.", L"\\Device\\HarddiskVolume1\\users\\me\\d\\report."),
              Placement::Listed);
    // Never the other way round: "report" reaching "report." is not Wine's trimming.
    EXPECT_EQ(PlaceOf(kFolderPath, L"report", L"\\Device\\HarddiskVolume1\\users\\me\\d\\report."),
              Placement::Elsewhere);
}

TEST(PlaceOf, FoldersWithTrailingDotsOrSpacesAsWineReportsThem) {
    // The folder "dirx." comes back as "dirx" for its own handle; the space of "sp " is dropped
    // only when it ends the path.
    EXPECT_EQ(PlaceOf(L"\\Device\\HarddiskVolume1\\t\\dirx", L"f", L"\\Device\\HarddiskVolume1\\t\\dirx\\f"),
              Placement::Listed);
    EXPECT_EQ(PlaceOf(L"\\Device\\HarddiskVolume1\\t\\sp", L"f", L"\\Device\\HarddiskVolume1\\t\\sp \\f"),
              Placement::Listed);
}

}  // namespace
}  // namespace shredder::testing
