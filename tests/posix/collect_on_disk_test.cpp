// CollectFolder through the POSIX file system over real trees.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "collect/collect.h"
#include "platform/posix/posix_file_system.h"
#include "tests/posix/forwarding_file_system.h"
#include "tests/posix/temp_folder.h"

namespace shredder::testing {
namespace {

using Paths = std::vector<std::string>;

// The names of a folder's entries in the order the system enumerates them.
Paths EnumerationOrder(const std::string& folder) {
    Paths names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

void CreateEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << path;
    ::close(fd);
}

// Counts the folders listed. Tests run as root, whom no permission keeps out of a folder, so
// folders that cannot be read are made so here: one is deleted just before it is listed, as
// when another program removes it after the walk found it; another is refused.
class WatchedListings : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::size_t listings = 0;
    std::size_t entries = 0;  // handed to the walk
    std::set<std::string> vanishing;  // folders as the walk names them, with a trailing '/'
    std::set<std::string> denied;

    Failure listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) override {
        ++listings;
        if (denied.contains(folder)) return SysError{ErrorKind::AccessDenied, EACCES, "Permission denied"};
        if (vanishing.contains(folder)) std::filesystem::remove_all(folder);
        return ForwardingFileSystem::listDirectory(folder, folderId, [&](const DirEntry& entry) {
            ++entries;
            return onEntry(entry);
        });
    }
};

class CollectOnDisk : public ::testing::Test {
protected:
    TempFolder tree;
    posix::PosixFileSystem posixFs;
    WatchedListings fs{posixFs};
    std::vector<ListedFile> found;

    WalkOutcome collect(const std::string& start) {
        found.clear();
        return CollectFolder(start, fs, [&](ListedFile file) { found.push_back(std::move(file)); });
    }
    Paths walk(const std::string& start) {
        const WalkOutcome outcome = collect(start);
        EXPECT_TRUE(outcome.unreadable.empty()) << outcome.unreadable.front().folder;
        Paths paths;
        for (const ListedFile& file : found) paths.push_back(file.path);
        return paths;
    }
};

TEST_F(CollectOnDisk, AFoldersFilesComeFirstThenItsSubfoldersLevelByLevelInDiscoveryOrder) {
    tree.write("top/x");
    tree.write("top/y");
    tree.write("top/s/in-s");
    tree.write("top/s/deep/in-deep");
    tree.write("top/t/in-t");
    tree.makeFolder("top/t/empty");
    tree.makeFolder("top/empty");

    Paths expected;
    for (const std::string& name : EnumerationOrder((tree / "top"))) {
        if (name == "x" || name == "y") expected.push_back((tree / "top/" + name));
    }
    for (const std::string& name : EnumerationOrder((tree / "top"))) {
        if (name == "s" || name == "t") expected.push_back((tree / "top/" + name + "/in-" + name));
    }
    expected.push_back((tree / "top/s/deep/in-deep"));

    EXPECT_EQ(walk((tree / "top")), expected);
    for (const ListedFile& file : found) {
        FileId folder;
        ASSERT_FALSE(fs.identifyFolder(ParentFolder(file.path), folder));
        EXPECT_EQ(file.folder, folder) << file.path;
    }
    EXPECT_EQ(walk((tree / "top") + "/"), expected);
}

TEST_F(CollectOnDisk, HiddenEntriesAreNeitherListedNorEntered) {
    tree.write("h/.secret");
    tree.write("h/.cache/inside");
    tree.write("h/visible");

    EXPECT_EQ(walk((tree / "h")), (Paths{(tree / "h/visible")}));
    EXPECT_EQ(fs.listings, 1u);
}

TEST_F(CollectOnDisk, OnlyFilesAndLinksToThemAreListedAndOnlyRealFoldersEntered) {
    tree.write("outside/private");
    tree.write("w/mine");
    tree.write("w/sub/g");
    tree.link("w/alias", (tree / "w/mine"));
    tree.link("w/dangling", (tree / "w/nothing"));
    tree.link("w/way-out", (tree / "outside"));
    tree.link("w/sub/back-up", (tree / "w"));
    tree.link("w/self", ".");
    tree.fifo("w/pipe");
    tree.socket("w/sock");

    const Paths paths = walk((tree / "w"));

    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()),
              (std::set<std::string>{(tree / "w/mine"), (tree / "w/alias"), (tree / "w/dangling"), (tree / "w/sub/g")}));
    EXPECT_EQ(paths.size(), 4u);
    EXPECT_EQ(fs.listings, 2u);
}

TEST_F(CollectOnDisk, MoreEntriesThanSixteenBitsCanCountAndAStopEndsTheWalkBetweenTwoOfThem) {
    constexpr std::size_t kFiles = 33'000;
    tree.makeFolder("many");
    for (std::size_t i = 0; i < kFiles; ++i) CreateEmptyFile((tree / "many/" + std::to_string(i)));

    const Paths paths = walk((tree / "many"));
    ASSERT_EQ(paths.size(), kFiles);
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), kFiles);

    // Closing the window during a walk inside one huge folder: asked at its first file.
    StopRequest stop;
    fs.entries = 0;
    std::size_t listed = 0;
    CollectFolder((tree / "many"), fs, [&](ListedFile) { ++listed, stop.request(); }, &stop);
    EXPECT_EQ(listed, 1u);
    EXPECT_LE(fs.entries, 2u);
}

TEST_F(CollectOnDisk, MoreSubfoldersThanSixteenBitsCanCount) {
    // Subfolders spread over 33 parents keep each folder small; every one must still be visited.
    constexpr std::size_t kParents = 33, kChildren = 1'000;
    for (std::size_t p = 0; p < kParents; ++p) {
        const std::string parent = tree.makeFolder("deep/" + std::to_string(p));
        for (std::size_t c = 0; c < kChildren; ++c) {
            ASSERT_EQ(::mkdir((parent + "/" + std::to_string(c)).c_str(), 0700), 0);
        }
    }
    const std::string lastParent = "deep/" + EnumerationOrder((tree / "deep")).back();
    const std::string lastChild = lastParent + "/" + EnumerationOrder((tree / lastParent)).back();
    tree.write(lastChild + "/found-last");

    EXPECT_EQ(walk((tree / "deep")), (Paths{(tree / lastChild + "/found-last")}));
    EXPECT_EQ(fs.listings, 1 + kParents + kParents * kChildren);
}

TEST_F(CollectOnDisk, TheWalkGoesOnPastFoldersThatCannotBeReadAndReportsEach) {
    tree.write("w/one");
    tree.write("w/a/in-a");
    tree.write("w/b/in-b");
    tree.write("w/c/in-c");
    tree.write("w/c/deeper/in-deeper");
    fs.vanishing = {(tree / "w/a/")};
    fs.denied = {(tree / "w/b/")};

    const WalkOutcome outcome = collect((tree / "w"));

    std::map<std::string, ErrorKind> unreadable;
    for (const UnreadableFolder& folder : outcome.unreadable) unreadable[folder.folder] = folder.error.kind;
    EXPECT_EQ(unreadable, (std::map<std::string, ErrorKind>{{(tree / "w/a/"), ErrorKind::NotFound},
                                                             {(tree / "w/b/"), ErrorKind::AccessDenied}}));
    std::set<std::string> paths;
    for (const ListedFile& file : found) paths.insert(file.path);
    EXPECT_EQ(paths, (std::set<std::string>{(tree / "w/one"), (tree / "w/c/in-c"), (tree / "w/c/deeper/in-deeper")}));
}

TEST_F(CollectOnDisk, AMissingStartingFolderIsReportedWithNothingListed) {
    const WalkOutcome outcome = collect((tree / "gone"));

    ASSERT_EQ(outcome.unreadable.size(), 1u);
    EXPECT_EQ(outcome.unreadable[0].folder, (tree / "gone") + "/");
    EXPECT_EQ(outcome.unreadable[0].error.kind, ErrorKind::NotFound);
    EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace shredder::testing
