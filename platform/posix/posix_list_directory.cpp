#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/errno_error.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/unique_handle.h"

namespace shredder::posix {
namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Fills in the kind of an entry whose type the directory itself did not record. Stats relative
// to the open folder: no path to build, no lookup of the folder's path again.
Failure ClassifyUnknown(int folderFd, const char* name, unsigned char& type) {
    struct stat info {};
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return ErrorFromErrno(errno);
    if (S_ISLNK(info.st_mode)) {
        type = DT_LNK;
    } else if (S_ISDIR(info.st_mode)) {
        type = DT_DIR;
    } else {
        type = DT_REG;
    }
    return std::nullopt;
}

bool LinkLeadsToFolder(int folderFd, const char* name) {
    struct stat target {};
    // A dangling link leads nowhere: it is listed like a file, and the run removes the link.
    return ::fstatat(folderFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
}

}  // namespace

Failure PosixFileSystem::listDirectory(const std::string& folder,
                                       const std::function<void(const DirEntry&)>& onEntry) {
    UniqueDir dir(::opendir(folder.c_str()));
    if (!dir.valid()) return ErrorFromErrno(errno);
    const int folderFd = ::dirfd(dir.get());
    if (folderFd < 0) return ErrorFromErrno(errno);

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

        unsigned char type = found->d_type;
        if (type == DT_UNKNOWN) {
            if (Failure failed = ClassifyUnknown(folderFd, name, type)) {
                // Removed since the folder was read: there is nothing left to list.
                if (failed->code == ENOENT) continue;
                return failed;
            }
        }
        entry.name = name;
        entry.isHidden = name[0] == '.';
        entry.isLink = type == DT_LNK;
        entry.isDirectory = type == DT_DIR || (entry.isLink && LinkLeadsToFolder(folderFd, name));
        onEntry(entry);
    }
    if (dir.close() != 0) return ErrorFromErrno(errno);
    return std::nullopt;
}

}  // namespace shredder::posix
