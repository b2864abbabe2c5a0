// ShredFiles through the POSIX file system over real files: what is on the disk just before
// each delete, and what is left after the run.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <future>
#include <numeric>
#include <vector>

#include "collect/collect.h"
#include "platform/posix/posix_file_system.h"
#include "shred/shred_files.h"
#include "tests/fakes/fake_controls.h"
#include "tests/posix/forwarding_file_system.h"
#include "tests/posix/temp_folder.h"

namespace shredder::testing {
namespace {

// Lets a test act just before the run opens a listed file (after every attribute was reset)
// and just before it removes one (after the zeros were flushed).
class WatchedFileSystem : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    using Hook = std::function<void(const std::string& path)>;
    Hook beforeOpen;
    Hook beforeFlush;
    Hook beforeRemove;

    OpenOutcome openForOverwrite(const ListedFile& file) override {
        if (beforeOpen) beforeOpen(file.path);
        OpenOutcome outcome = ForwardingFileSystem::openForOverwrite(file);
        if (outcome.file) outcome.file = std::make_unique<WatchedFile>(std::move(outcome.file), file.path, *this);
        return outcome;
    }

private:
    class WatchedFile : public ForwardingOpenedFile {
    public:
        WatchedFile(std::unique_ptr<OpenedFile> inner, std::string path, const WatchedFileSystem& hooks)
            : ForwardingOpenedFile(std::move(inner)), path_(std::move(path)), hooks_(hooks) {}
        Failure flush() override {
            if (hooks_.beforeFlush) hooks_.beforeFlush(path_);
            return ForwardingOpenedFile::flush();
        }
        Failure remove() override {
            if (hooks_.beforeRemove) hooks_.beforeRemove(path_);
            return ForwardingOpenedFile::remove();
        }

    private:
        std::string path_;
        const WatchedFileSystem& hooks_;
    };
};

// What a file held at the moment the run deleted it.
struct Removed {
    std::string path;
    bool regular = false;
    ino_t inode = 0;
    std::string content;
};

bool AllZero(const std::string& content) { return content.find_first_not_of('\0') == std::string::npos; }

class ShredFilesOnDisk : public ::testing::Test {
protected:
    TempFolder tree;
    posix::PosixFileSystem posixFs;
    WatchedFileSystem fs{posixFs};
    FakeProgressBar progress;
    StopRequest stop;
    std::vector<Removed> removed;

    ShredFilesOnDisk() {
        fs.beforeRemove = [this](const std::string& path) {
            Removed seen;
            seen.path = path;
            struct stat info {};
            if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                seen.regular = true;
                seen.inode = info.st_ino;
                seen.content = ReadAll(path);
            }
            removed.push_back(seen);
        };
    }

    std::vector<ListedFile> listed(const std::vector<std::string>& paths) {
        std::vector<ListedFile> files;
        for (const std::string& path : paths) files.push_back(ListFile(path, posixFs));
        return files;
    }
    ShredOutcome run(const std::vector<ListedFile>& files) { return ShredFiles(files, fs, progress, &stop); }
    ShredOutcome run(const std::vector<std::string>& paths) { return run(listed(paths)); }
};

TEST_F(ShredFilesOnDisk, EveryFileIsZeroedInPlaceToItsLengthThenDeleted) {
    const std::vector<std::size_t> sizes = {0, 1, 4096, 999'999, 1'000'000, 1'000'001, 3'000'000, 2'500'123};
    std::vector<std::string> paths;
    std::vector<ino_t> inodes;
    for (std::size_t size : sizes) {
        paths.push_back(tree.write("f" + std::to_string(size), Pattern(size)));
        inodes.push_back(StatOf(paths.back()).st_ino);
    }
    ASSERT_EQ(::chmod(paths[2].c_str(), 0444), 0);
    ASSERT_EQ(::chmod(paths[3].c_str(), 0), 0);

    const ShredOutcome outcome = run(paths);

    ASSERT_FALSE(outcome.failure) << outcome.failure->path;
    EXPECT_EQ(outcome.finished, paths.size());
    EXPECT_EQ(outcome.bytesWritten, std::accumulate(sizes.begin(), sizes.end(), std::uint64_t{0}));
    ASSERT_EQ(removed.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const Removed& seen = removed[i];
        EXPECT_EQ(seen.path, paths[i]);
        EXPECT_TRUE(seen.regular) << seen.path;
        EXPECT_EQ(seen.inode, inodes[i]) << seen.path << " was replaced, not overwritten";
        EXPECT_EQ(seen.content.size(), sizes[i]) << seen.path;
        EXPECT_TRUE(AllZero(seen.content)) << seen.path;
        EXPECT_FALSE(Exists(seen.path));
    }
}

TEST_F(ShredFilesOnDisk, TheSamePathListedTwiceIsShreddedOnceAndCompletes) {
    const std::string path = tree.write("twice", Pattern(1234));

    const ShredOutcome outcome = run({path, path});

    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.finished, 2u);
    EXPECT_EQ(removed.size(), 1u);
    EXPECT_FALSE(Exists(path));
}

TEST_F(ShredFilesOnDisk, LinksAreRemovedThemselvesAndNeverWrittenThrough) {
    const std::string target = tree.write("target", Pattern(3000));
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const std::string link = tree.link("link", target);
    const std::string dangling = tree.link("dangling", (tree / "nothing"));
    const std::string swapped = tree.write("swapped", Pattern(10));
    const std::vector<ListedFile> files = listed({link, dangling, swapped});
    // A link put in place of a listed file after listing.
    ASSERT_EQ(::unlink(swapped.c_str()), 0);
    tree.link("swapped", target);

    const ShredOutcome outcome = run(files);

    ASSERT_FALSE(outcome.failure) << outcome.failure->path;
    EXPECT_EQ(outcome.finished, 3u);
    EXPECT_EQ(outcome.bytesWritten, 0u);
    for (const std::string& path : {link, dangling, swapped}) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_EQ(ReadAll(target), Pattern(3000));
    EXPECT_EQ(StatOf(target).st_mode & 07777, 0444u);
    EXPECT_FALSE(Exists((tree / "nothing")));
}

TEST_F(ShredFilesOnDisk, AFolderLinkGoneThroughOnPurposeWhenListingIsFollowedInTheRun) {
    const std::string direct = tree.write("real/a", Pattern(100));
    const std::string inSub = tree.write("real/sub/b", Pattern(100));
    tree.link("viaLink", (tree / "real"));
    std::vector<ListedFile> files = listed({(tree / "viaLink/a")});
    CollectFolder((tree / "viaLink/sub"), posixFs, [&](ListedFile file) { files.push_back(std::move(file)); });
    ASSERT_EQ(files.size(), 2u);

    const ShredOutcome outcome = run(files);

    ASSERT_FALSE(outcome.failure) << outcome.failure->path;
    EXPECT_EQ(outcome.finished, 2u);
    EXPECT_FALSE(Exists(direct));
    EXPECT_FALSE(Exists(inSub));
}

TEST_F(ShredFilesOnDisk, AFileInAFolderThatCanBeWrittenButNotReadIsShredded) {
    // A drop box: its files are reached and deleted by name though the folder cannot be listed.
    const std::string path = tree.write("dropbox/f", Pattern(100));
    const std::vector<ListedFile> files = listed({path});
    // Root reads any folder: as root, the run is made as another user.
    constexpr uid_t kNobody = 65534;
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chmod(tree.path().c_str(), 0711), 0);
        ASSERT_EQ(::chown((tree / "dropbox").c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(::chmod((tree / "dropbox").c_str(), 0333), 0);

    EXPECT_EXIT(
        {
            if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) std::_Exit(2);
            const ShredOutcome outcome = run(files);
            std::_Exit(outcome.failure ? 10 + static_cast<int>(outcome.failure->error.kind) : 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(Exists(path));
    ::chmod((tree / "dropbox").c_str(), 0755);  // so that the tree can be cleared
}

// A listed file that changed after every attribute was reset, the last moment before anything
// is written: the run stops there, names it, and writes nothing to it or through it.
struct Refusal {
    const char* name;
    std::function<std::vector<ListedFile>(const TempFolder&, FileSystem&)> list;  // the refused file first
    std::function<void(const TempFolder&)> change;
    ErrorKind kind;
    std::vector<std::string> keepTheirContent;  // relative to the tree
    std::vector<std::string> neverCreated;
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class Refused : public ShredFilesOnDisk, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, NothingIsWrittenAndTheFileIsNamed) {
    const Refusal& r = GetParam();
    std::vector<ListedFile> files = r.list(tree, posixFs);
    ASSERT_FALSE(files.empty());
    const std::string refused = files.front().path;
    files.push_back(ListFile(tree.write("after", Pattern(100)), posixFs));
    fs.beforeOpen = [&](const std::string& path) {
        if (path == refused) r.change(tree);
    };

    const ShredOutcome outcome = run(files);

    for (const std::string& kept : r.keepTheirContent) EXPECT_EQ(ReadAll((tree / kept)), Pattern(100)) << kept;
    for (const std::string& absent : r.neverCreated) EXPECT_FALSE(Exists((tree / absent))) << absent;
    if (IsLeftAloneByDesign(r.kind)) {
        // The run goes past it.
        EXPECT_FALSE(Exists(tree / "after"));
        EXPECT_FALSE(outcome.failure);
        EXPECT_EQ(outcome.finished, 2u);
        ASSERT_EQ(outcome.leftAlone.size(), 1u);
        EXPECT_EQ(outcome.leftAlone[0].path, refused);
        EXPECT_EQ(outcome.leftAlone[0].reason.kind, r.kind);
        return;
    }
    EXPECT_EQ(ReadAll((tree / "after")), Pattern(100));
    EXPECT_TRUE(removed.empty());
    EXPECT_EQ(outcome.finished, 0u);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->path, refused);
    EXPECT_EQ(outcome.failure->step, ShredStep::Open);
    EXPECT_EQ(outcome.failure->error.kind, r.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refused,
    ::testing::Values(
        Refusal{"Vanished",
                [](const TempFolder& tree, FileSystem& fs) {
                    return std::vector<ListedFile>{ListFile(tree.write("gone", Pattern(100)), fs)};
                },
                [](const TempFolder& tree) { EXPECT_EQ(std::remove((tree / "gone").c_str()), 0); },
                ErrorKind::NotFound,
                {},
                {"gone"}},
        Refusal{"FolderSwappedForALink",
                [](const TempFolder& tree, FileSystem& fs) {
                    tree.write("tree/sub/passwd", Pattern(100));
                    tree.write("victim/passwd", Pattern(100));
                    std::vector<ListedFile> files;
                    CollectFolder((tree / "tree"), fs, [&](ListedFile file) { files.push_back(std::move(file)); });
                    return files;
                },
                [](const TempFolder& tree) {
                    EXPECT_EQ(std::rename((tree / "tree/sub").c_str(), (tree / "tree/was-sub").c_str()), 0);
                    tree.link("tree/sub", "../victim");
                },
                ErrorKind::ChangedSinceListed,
                {"victim/passwd", "tree/was-sub/passwd"},
                {}},
        Refusal{"FileWithASecondName",
                [](const TempFolder& tree, FileSystem& fs) {
                    const std::string first = tree.write("first-name", Pattern(100));
                    EXPECT_EQ(::link(first.c_str(), (tree / "second-name").c_str()), 0);
                    return std::vector<ListedFile>{ListFile(first, fs)};
                },
                [](const TempFolder&) {},
                ErrorKind::HasOtherNames,
                {"first-name", "second-name"},
                {}}));

// POSIX cannot keep other programs from writing meanwhile, as Windows' share modes do: what they
// wrote after the zeros must not end in "shredded".
TEST_F(ShredFilesOnDisk, AFileAnotherProgramWritesToDuringTheRunIsNeverCalledShredded) {
    const std::vector<std::pair<const char*, std::function<void(int fd)>>> writers = {
        {"appends", [](int fd) { ASSERT_EQ(::write(fd, "late", 4), 4); }},
        {"rewrites in place", [](int fd) { ASSERT_EQ(::pwrite(fd, "late", 4, 0), 4); }},
    };
    for (const auto& [what, write] : writers) {
        const std::string path = tree.write(what, Pattern(8192));
        fs.beforeFlush = [&](const std::string& listed) {
            // Past the change time's coarsest step, so a kernel without fine-grained times sees it too.
            ::usleep(20'000);
            const UniqueFd other(::open(listed.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
            write(other.get());
        };

        const ShredOutcome outcome = run({path});

        ASSERT_TRUE(outcome.failure) << what;
        EXPECT_EQ(outcome.failure->path, path);
        EXPECT_EQ(outcome.failure->step, ShredStep::Flush) << what;
        EXPECT_EQ(outcome.failure->error.kind, ErrorKind::ChangedDuringRun) << what;
        EXPECT_EQ(outcome.finished, 0u);
        EXPECT_TRUE(Exists(path)) << what;
    }
}

// Another file system's entry at a listed name, or mounted below a chosen folder, is not the
// folder's: nothing of it is listed, changed or written.
TEST_F(ShredFilesOnDisk, WhatIsMountedAtANameIsLeftAloneAndNeverWalkedInto) {
    const std::string secret = tree.write("elsewhere/secret", Pattern(100));
    tree.write("elsewhere/dir/inside", Pattern(100));
    ASSERT_EQ(::chmod(secret.c_str(), 0444), 0);
    const std::string mountedFile = tree.write("chosen/mounted-file", "");
    tree.makeFolder("chosen/mounted-dir");
    const BindMount onFile(secret, mountedFile);
    if (!onFile.refusal.empty()) GTEST_SKIP() << onFile.refusal;
    const BindMount onFolder((tree / "elsewhere/dir"), (tree / "chosen/mounted-dir"));
    ASSERT_TRUE(onFolder.refusal.empty()) << onFolder.refusal;

    std::vector<ListedFile> walked;
    CollectFolder((tree / "chosen"), posixFs, [&](ListedFile file) { walked.push_back(std::move(file)); });
    const ShredOutcome outcome = run(walked);

    ASSERT_EQ(walked.size(), 1u);  // the folder mounted inside was not entered
    EXPECT_EQ(walked[0].path, mountedFile);
    EXPECT_FALSE(outcome.failure);
    ASSERT_EQ(outcome.leftAlone.size(), 1u);
    EXPECT_EQ(outcome.leftAlone[0].reason.kind, ErrorKind::MountPoint);
    EXPECT_EQ(ReadAll(secret), Pattern(100));
    EXPECT_EQ(StatOf(secret).st_mode & 07777, 0444u);
    EXPECT_EQ(ReadAll((tree / "elsewhere/dir/inside")), Pattern(100));
}

TEST_F(ShredFilesOnDisk, APipeIsRefusedWithoutBeingOpenedForWriting) {
    const std::string first = tree.write("1", Pattern(100));
    const std::string fifo = tree.fifo("2");
    const std::string third = tree.write("3", Pattern(100));
    // Once any writer has opened the pipe and gone, its reader is told the writers hung up.
    UniqueFd reader(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(reader);

    auto running = std::async(std::launch::async, [&] { return run({first, fifo, third}); });
    if (running.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        // Frees an open blocked on the pipe, so the test can end and say so.
        UniqueFd release(::open(fifo.c_str(), O_RDWR | O_CLOEXEC));
        ADD_FAILURE() << "the run blocked on a pipe";
    }
    const ShredOutcome outcome = running.get();

    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->path, fifo);
    EXPECT_EQ(outcome.failure->error.kind, ErrorKind::NotARegularFile);
    EXPECT_EQ(outcome.finished, 1u);
    pollfd poll{reader.get(), POLLIN, 0};
    ASSERT_GE(::poll(&poll, 1, 0), 0);
    EXPECT_EQ(poll.revents & POLLHUP, 0) << "the pipe was opened for writing";
    EXPECT_FALSE(Exists(first));
    EXPECT_TRUE(Exists(fifo));
    EXPECT_EQ(ReadAll(third), Pattern(100));
}

TEST_F(ShredFilesOnDisk, ASparseFileHasOnlyItsDataOverwrittenAndGainsNoBlocks) {
    constexpr std::uint64_t kLength = std::uint64_t{1} << 30;
    constexpr std::size_t kPiece = 64 * 1024;
    const std::vector<std::uint64_t> dataAt = {0, kLength / 2 + 3 * kPiece, kLength - kPiece};
    const std::string path = tree.write("sparse", "");
    {
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
        ASSERT_EQ(::ftruncate(fd.get(), static_cast<off_t>(kLength)), 0);
        for (std::uint64_t offset : dataAt) {
            ASSERT_EQ(::pwrite(fd.get(), Pattern(kPiece).data(), kPiece, static_cast<off_t>(offset)),
                      static_cast<ssize_t>(kPiece));
        }
        ASSERT_EQ(::fsync(fd.get()), 0);
    }
    const blkcnt_t blocks = StatOf(path).st_blocks;
    if (static_cast<std::uint64_t>(blocks) * 512 >= kLength / 2) GTEST_SKIP() << "this file system keeps no holes";

    std::vector<std::string> dataSeen;
    fs.beforeRemove = [&](const std::string& removing) {
        const struct stat info = StatOf(removing);
        EXPECT_EQ(static_cast<std::uint64_t>(info.st_size), kLength);
        EXPECT_LE(info.st_blocks, blocks) << "holes were filled";
        UniqueFd fd(::open(removing.c_str(), O_RDONLY | O_CLOEXEC));
        for (std::uint64_t offset : dataAt) {
            std::string piece(kPiece, 'x');
            EXPECT_EQ(::pread(fd.get(), piece.data(), kPiece, static_cast<off_t>(offset)), static_cast<ssize_t>(kPiece));
            dataSeen.push_back(piece);
        }
    };

    const ShredOutcome outcome = run({path});

    ASSERT_FALSE(outcome.failure) << outcome.failure->path;
    ASSERT_EQ(dataSeen.size(), dataAt.size());
    for (const std::string& piece : dataSeen) EXPECT_TRUE(AllZero(piece));
    // A file system may count whole allocation units as data; never the gigabyte of holes.
    EXPECT_GE(outcome.bytesWritten, dataAt.size() * kPiece);
    EXPECT_LE(outcome.bytesWritten, 16 * dataAt.size() * kPiece);
    EXPECT_FALSE(Exists(path));
}

TEST_F(ShredFilesOnDisk, AStopRequestedDuringAFileLeavesTheFilesAfterItUntouched) {
    const std::vector<std::string> paths = {tree.write("1", Pattern(100)), tree.write("2", Pattern(100)),
                                            tree.write("3", Pattern(100))};
    fs.beforeRemove = [&](const std::string&) { stop.request(); };

    const ShredOutcome outcome = run(paths);

    EXPECT_TRUE(outcome.stopped);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.finished, 1u);
    EXPECT_FALSE(Exists(paths[0]));
    EXPECT_EQ(ReadAll(paths[1]), Pattern(100));
    EXPECT_EQ(ReadAll(paths[2]), Pattern(100));
}

}  // namespace
}  // namespace shredder::testing
