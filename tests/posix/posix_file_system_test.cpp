// The POSIX file system over real files: what each call does to the disk, and what it must not.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "collect/collect.h"
#include "platform/posix/posix_file_system.h"
#include "tests/posix/temp_folder.h"

namespace shredder::testing {
namespace {

std::size_t OpenDescriptorCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

mode_t PermissionsOf(const std::string& path) { return StatOf(path).st_mode & 07777; }

class PosixFileSystemTest : public ::testing::Test {
protected:
    TempFolder tree;
    posix::PosixFileSystem fs;

    ListedFile listed(const std::string& path) { return ListFile(path, fs); }
    OpenOutcome open(const std::string& path) { return fs.openForOverwrite(listed(path)); }
    std::uint64_t resetLength = 0;  // what the last reset said
    Failure reset(const ListedFile& file) { return fs.resetAttributes(file, resetLength); }
};

TEST_F(PosixFileSystemTest, ResetAttributesGivesTheOwnerWriteBackAndKeepsTheRest) {
    const std::string readOnly = tree.write("ro", "12345");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string nothing = tree.write("none");
    ASSERT_EQ(::chmod(nothing.c_str(), 0), 0);

    EXPECT_FALSE(reset(listed(readOnly)));
    EXPECT_EQ(resetLength, 5u) << "the whole run's progress counts it";
    EXPECT_FALSE(reset(listed(nothing)));

    EXPECT_EQ(PermissionsOf(readOnly), 0644u);
    EXPECT_EQ(PermissionsOf(nothing), 0600u);
}

TEST_F(PosixFileSystemTest, AMissingFileOrFolderIsReportedAsSuch) {
    const std::string file = tree.write("plain");
    bool listedAnything = false;
    const auto onEntry = [&](const DirEntry&) {
        listedAnything = true;
        return ListingStep::Continue;
    };
    FileId folderId;

    const Failure missingFile = reset(listed((tree / "gone")));
    const Failure belowAFile = reset(listed(file + "/below"));
    const Failure missingFolder = fs.listDirectory((tree / "missing"), folderId, onEntry);
    const Failure notAFolder = fs.listDirectory(file, folderId, onEntry);

    ASSERT_TRUE(missingFile && belowAFile && missingFolder && notAFolder);
    EXPECT_EQ(missingFile->kind, ErrorKind::NotFound);
    EXPECT_EQ(missingFile->code, ENOENT);
    EXPECT_FALSE(missingFile->systemText.empty());
    EXPECT_EQ(belowAFile->kind, ErrorKind::PathNotFound);
    EXPECT_EQ(missingFolder->kind, ErrorKind::NotFound);
    EXPECT_EQ(notAFolder->kind, ErrorKind::PathNotFound);
    EXPECT_FALSE(listedAnything);
}

TEST_F(PosixFileSystemTest, LengthsAndDataRangesPastFourGibibytesAreExact) {
    const std::string path = tree.write("sparse", std::string(4096, 'x'));
    constexpr std::uint64_t kFiveGibibytes = std::uint64_t{5} << 30;
    constexpr std::uint64_t kLength = kFiveGibibytes + 7;  // holes but for the first and last block
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kLength)), 0);
    {
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
        ASSERT_EQ(::pwrite(fd.get(), "y", 1, static_cast<off_t>(kLength - 1)), 1);
    }

    OpenOutcome opened = open(path);
    ASSERT_TRUE(opened.file);
    std::uint64_t length = 0;
    EXPECT_FALSE(opened.file->length(length));
    std::vector<ByteRange> ranges;
    EXPECT_FALSE(opened.file->dataRanges(ranges));

    EXPECT_EQ(length, kLength);
    EXPECT_EQ(ranges, (std::vector<ByteRange>{{0, 4096}, {kFiveGibibytes, 7}}));
}

TEST_F(PosixFileSystemTest, RemoveNeverDeletesAFileThatTookTheNameMeanwhile) {
    const std::string path = tree.write("f", "overwritten");
    const std::string newcomer = tree.write("newcomer", "someone else's");
    OpenOutcome replaced = open(path);
    ASSERT_TRUE(replaced.file);
    ASSERT_EQ(std::rename(newcomer.c_str(), path.c_str()), 0);

    const Failure failed = replaced.file->remove();

    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, ErrorKind::ChangedDuringRun);
    EXPECT_EQ(ReadAll(path), "someone else's");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.path()), {}), 1);  // no name left behind
}

TEST_F(PosixFileSystemTest, OpenRefusesFoldersAndSocketsWithoutOpeningThem) {
    for (const std::string& path : {tree.makeFolder("dir"), tree.socket("sock")}) {
        const OpenOutcome opened = open(path);
        ASSERT_TRUE(opened.error) << path;
        EXPECT_EQ(opened.error->kind, ErrorKind::NotARegularFile) << path;
        EXPECT_FALSE(opened.file) << path;
        EXPECT_FALSE(reset(listed(path))) << path;  // left to the open to refuse
    }
}

TEST_F(PosixFileSystemTest, NoDescriptorOutlivesItsOwner) {
    const std::string path = tree.write("f");
    const std::string link = tree.link("link", path);
    tree.write("d/a");
    const ListedFile stale{path, FileId{}};  // a folder identity that no longer matches
    const std::size_t before = OpenDescriptorCount();

    open(path);  // never closed by the caller
    open(link);
    OpenOutcome closed = open(path);
    EXPECT_FALSE(closed.file->close());
    closed.file.reset();  // closed already: must not close again
    open((tree / "d"));      // refused after its folder was opened
    fs.openForOverwrite(stale);
    FileId folderId;
    fs.listDirectory((tree / "d"), folderId, [](const DirEntry&) { return ListingStep::Continue; });
    EXPECT_THROW(fs.listDirectory((tree / "d"), folderId, [](const DirEntry&) -> ListingStep { throw std::runtime_error("stop"); }),
                 std::runtime_error);

    fs.workEnded();  // the folder checked last is held until the work is over
    EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST_F(PosixFileSystemTest, ListingNamesEveryEntryOnceWithItsKindAndTheFolderItRead) {
    tree.write("d/file");
    tree.makeFolder("d/sub");
    tree.write("d/.hidden");
    tree.makeFolder("d/.hiddenDir");
    tree.link("d/toFile", (tree / "d/file"));
    tree.link("d/toDir", (tree / "d/sub"));
    tree.link("d/dangling", (tree / "d/nothing"));
    tree.fifo("d/pipe");

    std::map<std::string, DirEntry> entries;
    FileId listedId;
    const Failure failed = fs.listDirectory((tree / "d"), listedId, [&](const DirEntry& entry) {
        EXPECT_TRUE(entries.emplace(entry.name, entry).second) << entry.name;
        return ListingStep::Continue;
    });
    FileId folderId;
    ASSERT_FALSE(fs.identifyFolder((tree / "d"), folderId));

    ASSERT_FALSE(failed) << failed->systemText;
    EXPECT_EQ(listedId, folderId);
    ASSERT_EQ(entries.size(), 8u);  // no "." or ".."
    const auto is = [&](const char* name, EntryKind kind, bool hidden, bool linkToDirectory) {
        const DirEntry& entry = entries.at(name);
        EXPECT_EQ(entry.kind, kind) << name;
        EXPECT_EQ(entry.isHidden, hidden) << name;
        EXPECT_EQ(entry.linkToDirectory, linkToDirectory) << name;
    };
    is("file", EntryKind::File, false, false);
    is("sub", EntryKind::Directory, false, false);
    is(".hidden", EntryKind::File, true, false);
    is(".hiddenDir", EntryKind::Directory, true, false);
    is("toFile", EntryKind::Link, false, false);
    is("toDir", EntryKind::Link, false, true);
    is("dangling", EntryKind::Link, false, false);
    is("pipe", EntryKind::Other, false, false);
}

TEST_F(PosixFileSystemTest, KindOfDoesNotFollowTheLastLink) {
    EXPECT_EQ(fs.kindOf(tree.write("f")), EntryKind::File);
    EXPECT_EQ(fs.kindOf(tree.makeFolder("d")), EntryKind::Directory);
    EXPECT_EQ(fs.kindOf(tree.link("l", (tree / "d"))), EntryKind::Link);
    EXPECT_EQ(fs.kindOf(tree.fifo("p")), EntryKind::Other);
    EXPECT_EQ(fs.kindOf((tree / "missing")), std::nullopt);
}

TEST(ProgramArgumentsTest, LeavesOutTheProgramAndKeepsTheRestAsGiven) {
    char program[] = "shred-bench";
    char first[] = "--list";
    char second[] = "\xe6\x96\x87 \xf0\x9f\x98\x80";
    char* argv[] = {program, first, second, nullptr};
    EXPECT_EQ(ProgramArguments(3, argv), (std::vector<std::string>{"--list", second}));
}

}  // namespace
}  // namespace shredder::testing
