// The file system over POSIX calls: files reached through their held folder, never through a
// link, checked against other writers and mounts, deleted by a fresh name.
#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "platform/path.h"
#include "platform/unique_handle.h"

namespace shredder::posix {

using UniqueFd = UniqueHandle<HandlePolicy<int, ::close, -1>>;
using SharedFolder = std::shared_ptr<const UniqueFd>;

struct CheckedFolder {
    SharedFolder fd;
    std::uint64_t device = 0;  // the folder's st_dev
    std::string name;          // the file's name inside it
    Failure error;
};

namespace {

using UniqueDir = UniqueHandle<HandlePolicy<DIR*, ::closedir>>;

ErrorKind KindOf(int error) {
    switch (error) {
        case ENOENT:
            return ErrorKind::NotFound;
        case ENOTDIR:
            return ErrorKind::PathNotFound;
        case EACCES:
        case EPERM:
            return ErrorKind::AccessDenied;
        case EBUSY:
        case ETXTBSY:
            return ErrorKind::SharingViolation;
        case ENOSPC:
        case EDQUOT:
            return ErrorKind::DiskFull;
        case EROFS:
            return ErrorKind::WriteProtected;
        case ENAMETOOLONG:
            return ErrorKind::NameTooLong;
        case EIO:
            return ErrorKind::DeviceError;
        case EISDIR:
            return ErrorKind::NotARegularFile;
        default:
            return ErrorKind::Other;
    }
}

SysError Error(ErrorKind kind) { return SysError{kind, 0, ""}; }

FileId IdOf(const struct stat& info) {
    return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

EntryKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Directory;
    if (S_ISLNK(mode)) return EntryKind::Link;
    return EntryKind::Other;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A name in the held folder that nobody else knows, for the moment between the last check and
// the unlink: a random key drawn once per process, and a count, so no file pays for a draw.
std::string UnusedName() {
    static const std::string key = [] {
        unsigned char bytes[12] = {};
        std::size_t got = 0;
        while (got < sizeof bytes) {
            const ssize_t read = ::getrandom(bytes + got, sizeof bytes - got, 0);
            if (read < 0 && errno == EINTR) continue;
            if (read < 0) throw std::system_error(errno, std::generic_category(), "getrandom");
            got += static_cast<std::size_t>(read);
        }
        static constexpr char kHex[] = "0123456789abcdef";
        std::string hex;
        for (const unsigned char byte : bytes) hex += {kHex[byte >> 4], kHex[byte & 15]};
        return hex;
    }();
    static std::atomic<std::uint64_t> count{0};
    return ".shredding-" + key + "-" + std::to_string(count.fetch_add(1, std::memory_order_relaxed));
}

// One look at an entry (`name` of an open folder, or with an empty name the open entry `at`
// itself): what fstatat would tell, and whether it is the root of another mount. One statx gives
// both: a small file costs a handful of such looks, and each saved call counts there.
struct EntryLook {
    struct stat info {};
    bool mountRoot = false;
};

Failure LookAt(int at, const char* name, std::uint64_t folderDevice, EntryLook& look) {
    struct statx found {};
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (name[0] == '\0' ? AT_EMPTY_PATH : 0);
    if (::statx(at, name, flags, STATX_BASIC_STATS, &found) != 0) return ErrorFromErrno(errno);
    struct stat& info = look.info;
    info = {};
    info.st_dev = ::makedev(found.stx_dev_major, found.stx_dev_minor);
    info.st_ino = found.stx_ino;
    info.st_mode = found.stx_mode;
    info.st_nlink = found.stx_nlink;
    info.st_size = static_cast<off_t>(found.stx_size);
    info.st_blocks = static_cast<blkcnt_t>(found.stx_blocks);
    info.st_ctim = {found.stx_ctime.tv_sec, found.stx_ctime.tv_nsec};
    info.st_mtim = {found.stx_mtime.tv_sec, found.stx_mtime.tv_nsec};
    // A bind mount can put a file of the very same file system there, so st_dev alone cannot
    // tell; it is what is left on kernels before 5.8, which do not report mount roots.
    look.mountRoot = (found.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0
                         ? (found.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0
                         : info.st_dev != folderDevice;
    return std::nullopt;
}

// Whether the entry `name` of an open folder is the root of another mount.
bool IsMountRoot(int at, const char* name, std::uint64_t folderDevice) {
    EntryLook look;
    return !LookAt(at, name, folderDevice, look) && look.mountRoot;  // the caller's own look fails too
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}


// Data or a named stream written at offsets; the descriptor's only owner.
class PosixOpenedFile final : public OpenedFile {
public:
    PosixOpenedFile(SharedFolder folder, std::string name, UniqueFd fd, const struct stat& opened)
        : folder_(std::move(folder)), name_(std::move(name)), fd_(std::move(fd)), id_(IdOf(opened)),
          isLink_(S_ISLNK(opened.st_mode)), seen_(opened) {}

    Failure length(std::uint64_t& bytes) override {
        struct stat info {};
        if (::fstat(fd_.get(), &info) != 0) return ErrorFromErrno(errno);
        bytes = static_cast<std::uint64_t>(info.st_size);
        return std::nullopt;
    }

    // From the look the open or the last write took, a moment ago.
    Failure nameCount(std::uint32_t& names) override {
        names = static_cast<std::uint32_t>(seen_.st_nlink);
        return std::nullopt;
    }

    // From the look the open or the last write took: anything another program did since shows
    // at the next write, which compares the file with that look first.
    Failure dataRanges(std::vector<ByteRange>& ranges) override {
        ranges.clear();
        const struct stat& info = seen_;
        const auto size = static_cast<std::uint64_t>(info.st_size);
        // As many blocks as bytes: no room for a hole, and no need to look for one.
        if (static_cast<std::uint64_t>(info.st_blocks) * 512 >= size) {
            if (size != 0) ranges.push_back(ByteRange{0, size});
            return std::nullopt;
        }
        off_t position = 0;
        while (static_cast<std::uint64_t>(position) < size) {
            const off_t data = ::lseek(fd_.get(), position, SEEK_DATA);
            if (data < 0) {
                if (errno == ENXIO) break;  // only a hole is left
                if (errno == EINVAL && position == 0) {
                    // A file system that cannot tell holes: all of it may hold data.
                    ranges.push_back(ByteRange{0, size});
                    return std::nullopt;
                }
                return ErrorFromErrno(errno);
            }
            off_t hole = ::lseek(fd_.get(), data, SEEK_HOLE);
            if (hole < 0) return ErrorFromErrno(errno);
            if (static_cast<std::uint64_t>(hole) > size) hole = static_cast<off_t>(size);
            if (hole > data) {
                ranges.push_back(ByteRange{static_cast<std::uint64_t>(data), static_cast<std::uint64_t>(hole - data)});
            }
            position = hole;
        }
        return std::nullopt;
    }

    Failure writeAt(std::uint64_t offset, const char* data, std::size_t size) override {
        // POSIX has no way to keep other writers out, as Windows' share modes do: what they
        // did between two of our writes shows in the size and the change time. Before the
        // first as well: a file cut short and written again to its old length looks the same
        // after our write, with the old bytes in the blocks it freed.
        if (Failure changed = unchangedByOthers()) return changed;
        if (Failure failed = writeAll(offset, data, size)) return failed;
        if (::fstat(fd_.get(), &seen_) != 0) return ErrorFromErrno(errno);
        return std::nullopt;
    }

    Failure flush() override {
        // fdatasync puts the written bytes, and whatever is needed to read them back, on the
        // medium before it returns: all a shred needs. fsync would also commit the new
        // modification time, a journal commit per file that made many small files about a
        // fifth slower, for a file that is deleted right after.
        if (::fdatasync(fd_.get()) != 0) return ErrorFromErrno(errno);
        // Bytes another program wrote or appended after our last write are not zeros.
        return unchangedByOthers();
    }

    // POSIX files have no named streams.
    Failure namedStreams(std::vector<std::string>& names) override {
        names.clear();
        return std::nullopt;
    }
    Failure openNamedStream(const std::string&, std::unique_ptr<OpenedData>&) override {
        return Error(ErrorKind::NotFound);
    }

    Failure remove() override {
        const int folder = folder_->get();
        if (Failure failed = stillAt(name_)) return failed;
        // Another program can rename a file onto the name between any look and the unlink (an
        // editor's atomic save): the file is moved to a name nobody else knows first, and only
        // what proves to be the overwritten file there is unlinked.
        std::string hidden = UnusedName();
        while (::renameat2(folder, name_.c_str(), folder, hidden.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno != EEXIST) return ErrorFromErrno(errno);
            hidden = UnusedName();
        }
        if (Failure moved = stillAt(hidden)) {
            // Someone else's file: it gets its name back, untouched.
            ::renameat2(folder, hidden.c_str(), folder, name_.c_str(), RENAME_NOREPLACE);
            return moved;
        }
        if (::unlinkat(folder, hidden.c_str(), 0) != 0) {
            const int error = errno;
            ::renameat2(folder, hidden.c_str(), folder, name_.c_str(), RENAME_NOREPLACE);
            return ErrorFromErrno(error);
        }
        return std::nullopt;
    }

    Failure close() override {
        folder_.reset();
        if (!fd_) return std::nullopt;
        // The descriptor is released whatever close() answers; retrying could close another's.
        if (::close(fd_.release()) != 0) return ErrorFromErrno(errno);
        return std::nullopt;
    }

private:
    Failure writeAll(std::uint64_t offset, const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::pwrite(fd_.get(), data, size, static_cast<off_t>(offset));
            if (written < 0) {
                if (errno == EINTR) continue;
                return ErrorFromErrno(errno);
            }
            // A regular file that takes nothing and reports no error has no room left.
            if (written == 0) return ErrorFromErrno(ENOSPC);
            data += written;
            offset += static_cast<std::uint64_t>(written);
            size -= static_cast<std::size_t>(written);
        }
        return std::nullopt;
    }

    // The name leads to the very entry that was opened, which is still the opened kind.
    Failure stillAt(const std::string& name) const {
        struct stat now {};
        if (::fstatat(folder_->get(), name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) return ErrorFromErrno(errno);
        if (!(IdOf(now) == id_) || S_ISLNK(now.st_mode) != static_cast<int>(isLink_)) {
            return Error(ErrorKind::ChangedDuringRun);
        }
        return std::nullopt;
    }

    Failure unchangedByOthers() const {
        struct stat now {};
        if (::fstat(fd_.get(), &now) != 0) return ErrorFromErrno(errno);
        if (now.st_size != seen_.st_size || !SameTime(now.st_ctim, seen_.st_ctim)) return Error(ErrorKind::ChangedDuringRun);
        return std::nullopt;
    }

private:
    SharedFolder folder_;
    std::string name_;
    UniqueFd fd_;
    FileId id_;
    bool isLink_;
    struct stat seen_;  // as our own last step left the file
};

}  // namespace



// The last listed folder checked, kept open between files: listed files mostly come folder by
// folder, and a descriptor checked once keeps leading to that very folder.
struct PosixFileSystem::HeldFolder {
    SharedFolder fd;
    FileId id;
};

PosixFileSystem::PosixFileSystem() = default;
PosixFileSystem::~PosixFileSystem() = default;

void PosixFileSystem::workEnded() { held_.reset(); }

// The listed file's folder, opened and confirmed to be the folder it was listed in. Holding its
// descriptor, no later rename of a folder above it can redirect what the run touches.
CheckedFolder PosixFileSystem::openListedFolder(const ListedFile& listed) {
    CheckedFolder folder;
    folder.name = EntryName(listed.path);
    if (folder.name.empty() || IsDotOrDotDot(folder.name.c_str())) {
        folder.error = Error(ErrorKind::NotARegularFile);
        return folder;
    }
    if (held_ && listed.folder && held_->id == *listed.folder) {
        folder.fd = held_->fd;
        folder.device = held_->id.volume;
        return folder;
    }
    const std::string parent = ParentFolder(listed.path);
    // O_PATH: the folder is only looked in, never read, so a folder the user may search and
    // write but not list (a drop box) still gives up the files the user can shred.
    auto fd = std::make_shared<UniqueFd>(::open(parent.empty() ? "." : parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!*fd) {
        const int error = errno;
        folder.error = ErrorFromErrno(error == ENOENT ? ENOTDIR : error);
        return folder;
    }
    struct stat info {};
    if (::fstat(fd->get(), &info) != 0) {
        folder.error = ErrorFromErrno(errno);
    } else if (!listed.folder || !(IdOf(info) == *listed.folder)) {
        folder.error = Error(ErrorKind::ChangedSinceListed);
    } else {
        folder.fd = fd;
        folder.device = IdOf(info).volume;
        held_ = std::make_shared<HeldFolder>(HeldFolder{fd, IdOf(info)});
    }
    return folder;
}

SysError ErrorFromErrno(int error) { return SysError{KindOf(error), error, std::strerror(error)}; }

std::string PosixFileSystem::absolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return path;
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return WithTrailingSeparator(folder) + path;
}

Failure PosixFileSystem::identifyFolder(const std::string& folder, FileId& id) {
    struct stat info {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &info) != 0) return ErrorFromErrno(errno);
    if (!S_ISDIR(info.st_mode)) return ErrorFromErrno(ENOTDIR);
    id = IdOf(info);
    return std::nullopt;
}

Failure PosixFileSystem::listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) {
    UniqueDir dir(::opendir(folder.c_str()));
    if (!dir) return ErrorFromErrno(errno);
    const int folderFd = ::dirfd(dir.get());
    struct stat folderInfo {};
    if (folderFd < 0 || ::fstat(folderFd, &folderInfo) != 0) return ErrorFromErrno(errno);
    folderId = IdOf(folderInfo);

    DirEntry entry;
    while (true) {
        errno = 0;
        const dirent* found = ::readdir(dir.get());
        if (found == nullptr) {
            if (errno != 0) return ErrorFromErrno(errno);
            break;
        }
        const char* name = found->d_name;
        if (IsDotOrDotDot(name)) continue;

        switch (found->d_type) {
            case DT_REG:
                entry.kind = EntryKind::File;
                break;
            case DT_DIR:
                entry.kind = EntryKind::Directory;
                break;
            case DT_LNK:
                entry.kind = EntryKind::Link;
                break;
            case DT_UNKNOWN: {
                // Stat relative to the open folder: no path to build, no second lookup of it.
                struct stat info {};
                if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                    if (errno == ENOENT) continue;  // removed since the folder was read
                    return ErrorFromErrno(errno);
                }
                entry.kind = KindOfMode(info.st_mode);
                break;
            }
            default:
                entry.kind = EntryKind::Other;
                break;
        }
        entry.name = name;
        entry.isHidden = name[0] == '.';
        entry.linkToDirectory = false;
        entry.isMountPoint = entry.kind == EntryKind::Directory && IsMountRoot(folderFd, name, folderInfo.st_dev);
        if (entry.kind == EntryKind::Link) {
            struct stat target {};
            // A dangling link leads nowhere: it is listed like a file, and the run removes it.
            entry.linkToDirectory = ::fstatat(folderFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
        }
        if (onEntry(entry) == ListingStep::Stop) break;
    }
    if (::closedir(dir.release()) != 0) return ErrorFromErrno(errno);
    return std::nullopt;
}

std::optional<EntryKind> PosixFileSystem::kindOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    return KindOfMode(info.st_mode);
}

Failure PosixFileSystem::resetAttributes(const ListedFile& file, std::uint64_t& length) {
    length = 0;
    CheckedFolder folder = openListedFolder(file);
    if (folder.error) return folder.error;
    EntryLook look;
    if (Failure failed = LookAt(folder.fd->get(), folder.name.c_str(), folder.device, look)) return failed;
    const struct stat& info = look.info;
    // A link's target is never touched; links, folders, devices and pipes are refused by the
    // open, which says why. So is a file mounted on the name: its permissions are another's.
    if (!S_ISREG(info.st_mode) || look.mountRoot) return std::nullopt;
    length = static_cast<std::uint64_t>(info.st_size);

    const mode_t ownerCanWrite = S_IRUSR | S_IWUSR;
    if ((info.st_mode & ownerCanWrite) == ownerCanWrite) return std::nullopt;
    if (::fchmodat(folder.fd->get(), folder.name.c_str(), (info.st_mode & 07777) | ownerCanWrite,
                   AT_SYMLINK_NOFOLLOW) != 0) {
        // Swapped for a link since the look above: leave it to the open to refuse.
        if (errno == EOPNOTSUPP) return std::nullopt;
        return ErrorFromErrno(errno);
    }
    return std::nullopt;
}

OpenOutcome PosixFileSystem::openForOverwrite(const ListedFile& file) {
    OpenOutcome outcome;
    CheckedFolder folder = openListedFolder(file);
    if (folder.error) {
        outcome.error = folder.error;
        return outcome;
    }
    const char* name = folder.name.c_str();
    EntryLook look;
    if (Failure failed = LookAt(folder.fd->get(), name, folder.device, look)) {
        outcome.error = failed;
        return outcome;
    }
    const struct stat before = look.info;
    // What is mounted on the name belongs to another folder, maybe another file system: its
    // bytes were never listed here, and the name cannot be unlinked anyway.
    if (look.mountRoot) {
        outcome.error = Error(ErrorKind::MountPoint);
        return outcome;
    }
    if (S_ISLNK(before.st_mode)) {
        // The link itself can go on its own; O_PATH holds it without opening its target.
        UniqueFd link(::openat(folder.fd->get(), name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!link) {
            outcome.error = ErrorFromErrno(errno);
            return outcome;
        }
        outcome.isLink = true;
        outcome.file = std::make_unique<PosixOpenedFile>(folder.fd, folder.name, std::move(link), before);
        return outcome;
    }
    // Opening a device or a pipe can have effects of its own: only a regular file is opened.
    if (!S_ISREG(before.st_mode)) {
        outcome.error = Error(ErrorKind::NotARegularFile);
        return outcome;
    }
    // Never O_CREAT: a file that vanished is reported, not recreated. Never O_TRUNC: truncating
    // frees the old blocks with the data still in them and the zeros go elsewhere.
    UniqueFd fd(::openat(folder.fd->get(), name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        // ELOOP: it became a link since the look above.
        outcome.error = errno == ELOOP ? Error(ErrorKind::ChangedSinceListed) : ErrorFromErrno(errno);
        return outcome;
    }
    if (Failure failed = LookAt(fd.get(), "", folder.device, look)) {
        outcome.error = failed;
        return outcome;
    }
    const struct stat& opened = look.info;
    if (!S_ISREG(opened.st_mode) || !(IdOf(opened) == IdOf(before))) {
        outcome.error = Error(ErrorKind::ChangedSinceListed);
        return outcome;
    }
    // Mounted on the name since the look above.
    if (look.mountRoot) {
        outcome.error = Error(ErrorKind::MountPoint);
        return outcome;
    }
    outcome.file = std::make_unique<PosixOpenedFile>(folder.fd, folder.name, std::move(fd), opened);
    return outcome;
}

}  // namespace shredder::posix

namespace shredder {

std::unique_ptr<FileSystem> MakeNativeFileSystem() { return std::make_unique<posix::PosixFileSystem>(); }

// POSIX hands the program its arguments as bytes, which are UTF-8 on every system we run on.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

}  // namespace shredder
