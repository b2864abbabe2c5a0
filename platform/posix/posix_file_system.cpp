#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/errno_error.h"
#include "platform/posix/posix_opened_file.h"

namespace shredder::posix {

Failure PosixFileSystem::resetAttributes(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return ErrorFromErrno(errno);
    // chmod would follow a link and change its target; the run removes the link itself anyway.
    // Folders, devices and pipes are refused when opened, so they are left as they are too.
    if (!S_ISREG(info.st_mode)) return std::nullopt;

    const mode_t ownerCanWrite = S_IRUSR | S_IWUSR;
    if ((info.st_mode & ownerCanWrite) == ownerCanWrite) return std::nullopt;
    if (::chmod(path.c_str(), (info.st_mode & 07777) | ownerCanWrite) != 0) return ErrorFromErrno(errno);
    return std::nullopt;
}

OpenOutcome PosixFileSystem::openForOverwrite(const std::string& path) {
    OpenOutcome outcome;
    // Never O_TRUNC: truncating frees the old blocks with the data still in them and the zeros
    // go elsewhere. O_NONBLOCK keeps a FIFO from hanging the open; it does nothing to a
    // regular file.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600));
    if (!fd.valid()) {
        const int openError = errno;
        struct stat info {};
        // O_NOFOLLOW answers ELOOP for a final link, but a loop further up the path says the same.
        if (openError == ELOOP && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            outcome.isLink = true;
        } else {
            outcome.error = ErrorFromErrno(openError);
        }
        return outcome;
    }

    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        outcome.error = ErrorFromErrno(errno);
        return outcome;
    }
    if (!S_ISREG(info.st_mode)) {
        // Zeros written to a device or pipe would not overwrite a file; they could destroy a disk.
        outcome.error = SysError{ErrorKind::NotARegularFile, 0, "not a regular file"};
        return outcome;
    }
    outcome.file = std::make_unique<PosixOpenedFile>(std::move(fd));
    return outcome;
}

Failure PosixFileSystem::remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return ErrorFromErrno(errno);
    return std::nullopt;
}

PathKind PosixFileSystem::kindOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISLNK(info.st_mode)) return PathKind::Link;
    if (S_ISDIR(info.st_mode)) return PathKind::Directory;
    return PathKind::File;
}

}  // namespace shredder::posix
