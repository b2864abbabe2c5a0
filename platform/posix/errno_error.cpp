#include "platform/posix/errno_error.h"

#include <cerrno>
#include <cstring>

namespace shredder::posix {
namespace {

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
            // Only opening a folder for writing says this: it is no file to overwrite.
            return ErrorKind::NotARegularFile;
        default:
            return ErrorKind::Other;
    }
}

}  // namespace

SysError ErrorFromErrno(int error) { return SysError{KindOf(error), error, std::strerror(error)}; }

}  // namespace shredder::posix
