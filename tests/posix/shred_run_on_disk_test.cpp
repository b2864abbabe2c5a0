// The shred run through the POSIX file system over real files: what is on the disk just before
// each delete, and what is left after the run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "app/texts.h"
#include "platform/posix/posix_file_system.h"
#include "shred/shred_run.h"
#include "tests/fakes/fake_controls.h"
#include "tests/posix/forwarding_file_system.h"
#include "tests/posix/temp_tree.h"

namespace shredder::testing {
namespace {

// What a file held at the moment the run deleted it.
struct Deleted {
    std::string path;
    bool regular = false;
    ino_t inode = 0;
    std::string content;
};

// Reads each file just before the real delete, so a test sees what the run left on the disk.
class ReadBeforeRemove : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::vector<Deleted> deleted;

    Failure remove(const std::string& path) override {
        Deleted seen;
        seen.path = path;
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            seen.regular = true;
            seen.inode = info.st_ino;
            seen.content = ReadAll(path);
        }
        deleted.push_back(seen);
        return ForwardingFileSystem::remove(path);
    }
};

bool AllZero(const std::string& content) { return content.find_first_not_of('\0') == std::string::npos; }

class ShredRunOnDisk : public ::testing::Test {
protected:
    TempTree tree;
    posix::PosixFileSystem posixFs;
    ReadBeforeRemove fs{posixFs};
    FakeListBox list;
    FakeButton startButton;
    FakeProgressBar progress;
    FakeMessageBox messages;

    void run() { Command3_Click({list, startButton, progress, messages, fs}); }

    void expectCompleted() {
        ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
        EXPECT_EQ(messages.shown[1].text, texts::kShredDone);
        EXPECT_TRUE(list.entries.empty());
        EXPECT_FALSE(startButton.enabled);
    }
    std::string errorShown() const {
        return messages.shown.size() == 2 && messages.shown[1].icon == MessageIcon::Error ? messages.shown[1].text : "";
    }
};

TEST_F(ShredRunOnDisk, EveryFileIsZeroedInPlaceToItsLengthThenDeleted) {
    const std::vector<std::size_t> sizes = {0, 1, 4096, 999'999, 1'000'000, 1'000'001, 3'000'000, 2'500'123};
    std::vector<ino_t> inodes;
    for (std::size_t size : sizes) {
        const std::string path = tree.file("f" + std::to_string(size), Pattern(size));
        inodes.push_back(StatOf(path).st_ino);
        list.append(path);
    }

    run();

    expectCompleted();
    ASSERT_EQ(fs.deleted.size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const Deleted& seen = fs.deleted[i];
        EXPECT_EQ(seen.path, tree["f" + std::to_string(sizes[i])]);
        EXPECT_TRUE(seen.regular);
        EXPECT_EQ(seen.inode, inodes[i]) << seen.path << " was replaced, not overwritten";
        EXPECT_EQ(seen.content.size(), sizes[i]) << seen.path;
        EXPECT_TRUE(AllZero(seen.content)) << seen.path;
        EXPECT_FALSE(Exists(seen.path));
    }
}

TEST_F(ShredRunOnDisk, AReadOnlyFileIsShreddedLikeAnyOther) {
    const std::string path = tree.file("ro", Pattern(5000));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    list.append(path);

    run();

    expectCompleted();
    ASSERT_EQ(fs.deleted.size(), 1u);
    EXPECT_EQ(fs.deleted[0].content, std::string(5000, '\0'));
    EXPECT_FALSE(Exists(path));
}

TEST_F(ShredRunOnDisk, TheSamePathListedTwiceCompletes) {
    const std::string path = tree.file("twice", Pattern(1234));
    list.append(path);
    list.append(path);

    run();

    expectCompleted();
    ASSERT_EQ(fs.deleted.size(), 2u);
    EXPECT_EQ(fs.deleted[0].content, std::string(1234, '\0'));
    EXPECT_EQ(fs.deleted[1].content, "");  // created empty by the second open, then deleted
    EXPECT_FALSE(Exists(path));
}

TEST_F(ShredRunOnDisk, AListedLinkIsRemovedAndItsTargetLeftAlone) {
    const std::string target = tree.file("target", Pattern(3000));
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const std::string link = tree.link("link", target);
    list.append(link);

    run();

    expectCompleted();
    EXPECT_FALSE(Exists(link));
    EXPECT_EQ(ReadAll(target), Pattern(3000));
    EXPECT_EQ(StatOf(target).st_mode & 0777, 0444u);
}

TEST_F(ShredRunOnDisk, ADanglingLinkIsRemovedWithoutCreatingItsTarget) {
    const std::string link = tree.link("dangling", tree["nothing"]);
    list.append(link);

    run();

    expectCompleted();
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(Exists(tree["nothing"]));
}

TEST_F(ShredRunOnDisk, APipeStopsTheRunUnwrittenAndTheFilesAfterItAreKept) {
    const std::string first = tree.file("1", Pattern(100));
    const std::string fifo = tree["2"];
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string third = tree.file("3", Pattern(100));
    list.entries = {first, fifo, third};
    startButton.enabled = true;

    run();

    EXPECT_NE(errorShown().find(fifo), std::string::npos);
    EXPECT_FALSE(Exists(first));
    EXPECT_TRUE(Exists(fifo));
    EXPECT_EQ(ReadAll(third), Pattern(100));
    EXPECT_EQ(list.entries, (std::vector<std::string>{fifo, third}));
    EXPECT_TRUE(startButton.enabled);
}

TEST_F(ShredRunOnDisk, AMissingEntryStopsTheRunBeforeAnythingIsOverwritten) {
    const std::string present = tree.file("present", Pattern(100));
    const std::string missing = tree["missing"];
    list.entries = {present, missing};

    run();

    EXPECT_NE(errorShown().find(missing), std::string::npos);
    EXPECT_EQ(ReadAll(present), Pattern(100));
    EXPECT_FALSE(Exists(missing));
    EXPECT_TRUE(fs.deleted.empty());
}

}  // namespace
}  // namespace shredder::testing
