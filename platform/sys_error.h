#pragma once

#include <optional>
#include <string>

namespace shredder {

// What went wrong, in terms both file-system layers can map their native codes onto, so the
// window words each reason once.
enum class ErrorKind {
    NotFound,
    PathNotFound,
    AccessDenied,
    SharingViolation,
    DiskFull,
    WriteProtected,
    NameTooLong,
    DeviceError,
    NotARegularFile,
    ChangedSinceListed,  // the listed folder was replaced (by a link, say) after listing
    HasOtherNames,       // hard links: zeros would destroy content under names never listed
    LinkLeftAlone,       // a link that cannot be removed without touching its target
    MountPoint,          // another file system is mounted on the name: not this folder's file
    ChangedDuringRun,    // another program wrote to it or put another file at its name meanwhile
    Other,
};

struct SysError {
    ErrorKind kind = ErrorKind::Other;
    long code = 0;           // errno or GetLastError(), kept for the message
    std::string systemText;  // the system's own wording (UTF-8), used for kinds we have no text for
};

// Empty when the step succeeded.
using Failure = std::optional<SysError>;

}  // namespace shredder
