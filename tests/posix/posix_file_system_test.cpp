// The POSIX file system over real files: what each call does to the disk, and what it must not.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>

#include "platform/native.h"
#include "platform/posix/posix_file_system.h"
#include "tests/posix/temp_tree.h"

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
    TempTree tree;
    posix::PosixFileSystem fs;

    std::map<std::string, DirEntry> listed(const std::string& folder) {
        std::map<std::string, DirEntry> entries;
        const Failure failed = fs.listDirectory(folder, [&](const DirEntry& entry) { entries[entry.name] = entry; });
        EXPECT_FALSE(failed) << failed->systemText;
        return entries;
    }
};

TEST_F(PosixFileSystemTest, ResetAttributesGivesTheOwnerWriteBackAndKeepsTheRest) {
    const std::string readOnly = tree.file("ro");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string nothing = tree.file("none");
    ASSERT_EQ(::chmod(nothing.c_str(), 0), 0);

    EXPECT_FALSE(fs.resetAttributes(readOnly));
    EXPECT_FALSE(fs.resetAttributes(nothing));

    EXPECT_EQ(PermissionsOf(readOnly), 0644u);
    EXPECT_EQ(PermissionsOf(nothing), 0600u);
}

TEST_F(PosixFileSystemTest, ResetAttributesNeverChangesALinksTarget) {
    const std::string target = tree.file("target");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const std::string link = tree.link("link", target);

    EXPECT_FALSE(fs.resetAttributes(link));

    EXPECT_EQ(PermissionsOf(target), 0444u);
}

TEST_F(PosixFileSystemTest, ResetAttributesOfAMissingFileSaysNotFound) {
    const Failure failed = fs.resetAttributes(tree["gone"]);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, ErrorKind::NotFound);
    EXPECT_EQ(failed->code, ENOENT);
    EXPECT_FALSE(failed->systemText.empty());
}

TEST_F(PosixFileSystemTest, APathThroughAFileSaysPathNotFound) {
    const std::string file = tree.file("plain");
    const Failure failed = fs.resetAttributes(file + "/below");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, ErrorKind::PathNotFound);
}

TEST_F(PosixFileSystemTest, OpenKeepsTheContentAndWritesOverItInPlace) {
    const std::string path = tree.file("f", "abcdefgh");
    const ino_t inode = StatOf(path).st_ino;

    OpenOutcome opened = fs.openForOverwrite(path);
    ASSERT_FALSE(opened.error);
    ASSERT_TRUE(opened.file);
    std::uint64_t length = 0;
    EXPECT_FALSE(opened.file->length(length));
    EXPECT_EQ(length, 8u);
    EXPECT_FALSE(opened.file->write("XY", 2));
    EXPECT_FALSE(opened.file->write("Z", 1));
    EXPECT_FALSE(opened.file->flush());
    EXPECT_FALSE(opened.file->close());

    EXPECT_EQ(ReadAll(path), "XYZdefgh");
    EXPECT_EQ(StatOf(path).st_ino, inode);
}

TEST_F(PosixFileSystemTest, LengthsPastFourGibibytesAreExact) {
    const std::string path = tree.file("sparse", "");
    constexpr std::uint64_t kLength = (std::uint64_t{5} << 30) + 7;  // no blocks: a hole
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kLength)), 0);

    OpenOutcome opened = fs.openForOverwrite(path);
    ASSERT_TRUE(opened.file);
    std::uint64_t length = 0;
    EXPECT_FALSE(opened.file->length(length));
    EXPECT_EQ(length, kLength);
}

TEST_F(PosixFileSystemTest, OpenCreatesAMissingFileEmptyForTheOwnerOnly) {
    const std::string path = tree["new"];
    OpenOutcome opened = fs.openForOverwrite(path);
    ASSERT_TRUE(opened.file);
    std::uint64_t length = 1;
    EXPECT_FALSE(opened.file->length(length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(PermissionsOf(path) & 0077, 0u);
}

TEST_F(PosixFileSystemTest, OpenNeverGoesThroughALink) {
    const std::string target = tree.file("target", "keep me");
    const std::string link = tree.link("link", target);
    const std::string dangling = tree.link("dangling", tree["would-be-created"]);

    const OpenOutcome toFile = fs.openForOverwrite(link);
    const OpenOutcome toNothing = fs.openForOverwrite(dangling);

    EXPECT_TRUE(toFile.isLink);
    EXPECT_FALSE(toFile.file);
    EXPECT_FALSE(toFile.error);
    EXPECT_TRUE(toNothing.isLink);
    EXPECT_FALSE(toNothing.file);
    EXPECT_FALSE(Exists(tree["would-be-created"]));
    EXPECT_EQ(ReadAll(target), "keep me");
}

TEST_F(PosixFileSystemTest, OpenRefusesPipesAndFoldersInsteadOfWritingToThem) {
    const std::string fifo = tree["fifo"];
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = tree.folder("dir");

    const OpenOutcome pipe = fs.openForOverwrite(fifo);
    const OpenOutcome dir = fs.openForOverwrite(folder);

    ASSERT_TRUE(pipe.error);
    EXPECT_EQ(pipe.error->kind, ErrorKind::NotARegularFile);
    EXPECT_FALSE(pipe.file);
    ASSERT_TRUE(dir.error);
    EXPECT_EQ(dir.error->kind, ErrorKind::NotARegularFile);
}

TEST_F(PosixFileSystemTest, NoDescriptorOutlivesItsOwner) {
    const std::string path = tree.file("f");
    tree.file("d/a");
    const std::size_t before = OpenDescriptorCount();

    fs.openForOverwrite(path);  // never closed by the caller
    OpenOutcome closed = fs.openForOverwrite(path);
    EXPECT_FALSE(closed.file->close());
    closed.file.reset();  // closed already: must not close again
    fs.openForOverwrite(tree["d"]);  // refused after opening
    fs.listDirectory(tree["d"], [](const DirEntry&) {});
    EXPECT_THROW(fs.listDirectory(tree["d"], [](const DirEntry&) { throw std::runtime_error("stop"); }),
                 std::runtime_error);

    EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST_F(PosixFileSystemTest, RemoveDeletesTheLinkNotItsTarget) {
    const std::string target = tree.file("target", "keep me");
    const std::string link = tree.link("link", target);

    EXPECT_FALSE(fs.remove(link));

    EXPECT_FALSE(Exists(link));
    EXPECT_EQ(ReadAll(target), "keep me");
    const Failure again = fs.remove(link);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->kind, ErrorKind::NotFound);
}

TEST_F(PosixFileSystemTest, ListingNamesEveryEntryOnceWithItsKind) {
    tree.file("d/file");
    tree.folder("d/sub");
    tree.file("d/.hidden");
    tree.folder("d/.hiddenDir");
    tree.link("d/toFile", tree["d/file"]);
    tree.link("d/toDir", tree["d/sub"]);
    tree.link("d/dangling", tree["d/nothing"]);

    const auto entries = listed(tree["d"]);

    ASSERT_EQ(entries.size(), 7u);  // no "." or ".."
    const auto is = [&](const char* name, bool directory, bool hidden, bool link) {
        const DirEntry& entry = entries.at(name);
        EXPECT_EQ(entry.name, name);
        EXPECT_EQ(entry.isDirectory, directory) << name;
        EXPECT_EQ(entry.isHidden, hidden) << name;
        EXPECT_EQ(entry.isLink, link) << name;
    };
    is("file", false, false, false);
    is("sub", true, false, false);
    is(".hidden", false, true, false);
    is(".hiddenDir", true, true, false);
    is("toFile", false, false, true);
    is("toDir", true, false, true);
    is("dangling", false, false, true);
}

TEST_F(PosixFileSystemTest, ListingAFolderThatIsNotThereSaysWhy) {
    const std::string file = tree.file("plain");
    bool called = false;
    const auto callback = [&](const DirEntry&) { called = true; };

    const Failure missing = fs.listDirectory(tree["missing"], callback);
    const Failure notAFolder = fs.listDirectory(file, callback);

    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind, ErrorKind::NotFound);
    ASSERT_TRUE(notAFolder);
    EXPECT_EQ(notAFolder->kind, ErrorKind::PathNotFound);
    EXPECT_FALSE(called);
}

TEST_F(PosixFileSystemTest, KindOfDoesNotFollowTheLastLink) {
    const std::string file = tree.file("f");
    EXPECT_EQ(fs.kindOf(file), PathKind::File);
    EXPECT_EQ(fs.kindOf(tree.folder("d")), PathKind::Directory);
    EXPECT_EQ(fs.kindOf(tree.link("l", tree["d"])), PathKind::Link);
    EXPECT_EQ(fs.kindOf(tree["missing"]), PathKind::Missing);
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
