#include "platform/posix/posix_opened_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/errno_error.h"

namespace shredder::posix {

Failure PosixOpenedFile::length(std::uint64_t& bytes) {
    struct stat info {};
    if (::fstat(fd_.get(), &info) != 0) return ErrorFromErrno(errno);
    bytes = static_cast<std::uint64_t>(info.st_size);
    return std::nullopt;
}

Failure PosixOpenedFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_.get(), data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return ErrorFromErrno(errno);
        }
        // A regular file that takes nothing and reports no error has no room left.
        if (written == 0) return ErrorFromErrno(ENOSPC);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return std::nullopt;
}

Failure PosixOpenedFile::flush() {
    // fdatasync puts the written bytes, and whatever is needed to read them back, on the medium
    // before it returns: all a shred needs. fsync would also commit the new modification time,
    // a journal commit per file that made many small files about a fifth slower, for a file
    // that is deleted right after.
    if (::fdatasync(fd_.get()) != 0) return ErrorFromErrno(errno);
    return std::nullopt;
}

Failure PosixOpenedFile::close() {
    // The descriptor is released whatever close() answers; retrying could close another's.
    if (fd_.close() != 0) return ErrorFromErrno(errno);
    return std::nullopt;
}

}  // namespace shredder::posix
