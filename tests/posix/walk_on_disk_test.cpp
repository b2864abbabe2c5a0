// The folder walk through the POSIX file system over real trees.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

#include "collect/find_file.h"
#include "platform/posix/posix_file_system.h"
#include "tests/fakes/fake_controls.h"
#include "tests/posix/forwarding_file_system.h"
#include "tests/posix/temp_tree.h"

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

// Counts the folders listed; fails the listing whose number is failAt (1-based), if any.
class CountingListings : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::size_t listings = 0;
    std::size_t failAt = 0;

    Failure listDirectory(const std::string& folder, const std::function<void(const DirEntry&)>& onEntry) override {
        if (++listings == failAt) return SysError{ErrorKind::AccessDenied, EACCES, "Permission denied"};
        return ForwardingFileSystem::listDirectory(folder, onEntry);
    }
};

class WalkOnDisk : public ::testing::Test {
protected:
    TempTree tree;
    posix::PosixFileSystem posixFs;
    CountingListings fs{posixFs};
    FakeListBox list;

    Paths walk(const std::string& start) {
        const auto failure = Findfile(start, fs, list);
        EXPECT_FALSE(failure) << failure->folder;
        return list.entries;
    }
};

TEST_F(WalkOnDisk, NestedFoldersComeOutLevelByLevel) {
    tree.file("a/fa");
    tree.file("a/b/fb");
    tree.file("a/b/c/fc");

    EXPECT_EQ(walk(tree["a"]), (Paths{tree["a/fa"], tree["a/b/fb"], tree["a/b/c/fc"]}));
}

TEST_F(WalkOnDisk, TheFilesOfAFolderComeBeforeThoseOfItsSubfoldersInDiscoveryOrder) {
    tree.file("top/s/in-s");
    tree.file("top/x");
    tree.file("top/t/in-t");
    tree.file("top/y");

    Paths expected;
    Paths subfolders;
    for (const std::string& name : EnumerationOrder(tree["top"])) {
        if (name == "x" || name == "y") expected.push_back(tree["top/" + name]);
        else subfolders.push_back(name);
    }
    for (const std::string& name : subfolders) expected.push_back(tree["top/" + name + "/in-" + name]);

    EXPECT_EQ(walk(tree["top"]), expected);
}

TEST_F(WalkOnDisk, EmptyFoldersAddNothingAndFoldersAreNeverListed) {
    tree.folder("e/empty");
    tree.folder("e/deeper/still/empty");

    EXPECT_TRUE(walk(tree["e"]).empty());
    tree.file("e/deeper/only");
    list.clear();
    EXPECT_EQ(walk(tree["e"]), (Paths{tree["e/deeper/only"]}));
}

TEST_F(WalkOnDisk, HiddenEntriesAreNeitherListedNorEntered) {
    tree.file("h/.secret");
    tree.file("h/.cache/inside");
    tree.file("h/visible");

    EXPECT_EQ(walk(tree["h"]), (Paths{tree["h/visible"]}));
    EXPECT_EQ(fs.listings, 1u);
}

TEST_F(WalkOnDisk, ATrailingSeparatorMakesNoDifference) {
    tree.file("w/f");
    tree.file("w/sub/g");

    const Paths without = walk(tree["w"]);
    list.clear();
    const Paths with = walk(tree["w"] + "/");

    EXPECT_EQ(without, (Paths{tree["w/f"], tree["w/sub/g"]}));
    EXPECT_EQ(with, without);
}

TEST_F(WalkOnDisk, ALinkToAFolderIsNeitherEnteredNorListed) {
    tree.file("outside/private");
    tree.file("w/mine");
    tree.link("w/way-out", tree["outside"]);

    EXPECT_EQ(walk(tree["w"]), (Paths{tree["w/mine"]}));
    EXPECT_EQ(fs.listings, 1u);
}

TEST_F(WalkOnDisk, ALinkCycleEnds) {
    tree.file("w/f");
    tree.file("w/sub/g");
    tree.link("w/sub/back-up", tree["w"]);
    tree.link("w/self", ".");

    EXPECT_EQ(walk(tree["w"]), (Paths{tree["w/f"], tree["w/sub/g"]}));
}

TEST_F(WalkOnDisk, ALinkToAFileIsListedLikeAFile) {
    tree.file("w/real");
    tree.link("w/alias", tree["w/real"]);

    const Paths found = walk(tree["w"]);

    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
              (std::set<std::string>{tree["w/real"], tree["w/alias"]}));
}

TEST_F(WalkOnDisk, MoreEntriesThanSixteenBitsCanCount) {
    constexpr std::size_t kFiles = 33'000;
    tree.folder("many");
    for (std::size_t i = 0; i < kFiles; ++i) CreateEmptyFile(tree["many/" + std::to_string(i)]);

    const Paths found = walk(tree["many"]);

    ASSERT_EQ(found.size(), kFiles);
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()).size(), kFiles);
}

TEST_F(WalkOnDisk, MoreSubfoldersThanSixteenBitsCanCount) {
    // Subfolders spread over 33 parents keep each folder small; every one must still be visited.
    constexpr std::size_t kParents = 33, kChildren = 1'000;
    Paths expectedLast;
    for (std::size_t p = 0; p < kParents; ++p) {
        const std::string parent = tree.folder("deep/" + std::to_string(p));
        for (std::size_t c = 0; c < kChildren; ++c) {
            ASSERT_EQ(::mkdir((parent + "/" + std::to_string(c)).c_str(), 0700), 0);
        }
    }
    const std::string lastParent = "deep/" + EnumerationOrder(tree["deep"]).back();
    const std::string lastChild = lastParent + "/" + EnumerationOrder(tree[lastParent]).back();
    tree.file(lastChild + "/found-last");

    const Paths found = walk(tree["deep"]);

    EXPECT_EQ(found, (Paths{tree[lastChild + "/found-last"]}));
    EXPECT_EQ(fs.listings, 1 + kParents + kParents * kChildren);
}

TEST_F(WalkOnDisk, AFolderThatCannotBeListedStopsTheWalkAndKeepsWhatWasFound) {
    tree.file("w/one");
    tree.file("w/two");
    tree.file("w/a/in-a");
    tree.file("w/b/in-b");
    const std::string firstSubfolder = [&] {
        for (const std::string& name : EnumerationOrder(tree["w"])) {
            if (name == "a" || name == "b") return name;
        }
        return std::string();
    }();
    fs.failAt = 2;

    const auto failure = Findfile(tree["w"], fs, list);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->folder, tree["w/" + firstSubfolder] + "/");
    EXPECT_EQ(failure->error.kind, ErrorKind::AccessDenied);
    Paths found = list.entries;
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Paths{tree["w/one"], tree["w/two"]}));
}

TEST_F(WalkOnDisk, AMissingStartingFolderIsReportedWithNothingListed) {
    const auto failure = Findfile(tree["gone"], fs, list);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->folder, tree["gone"] + "/");
    EXPECT_EQ(failure->error.kind, ErrorKind::NotFound);
    EXPECT_TRUE(list.entries.empty());
}

}  // namespace
}  // namespace shredder::testing
