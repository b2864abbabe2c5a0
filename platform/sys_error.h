#pragma once

// What went wrong in a file-system step, in terms both layers map their codes onto, and which
// of those the run leaves alone by design.
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
    ListedByShortName,   // listed by its 8.3 short name: the run writes only to names as listed
    // Storage that zeros written in place cannot reach: the file system puts them elsewhere
    // and frees the old clusters unwritten, or the data does not live in the file at all.
    Compressed,          // NTFS compression
    Encrypted,           // EFS
    ExternallyBacked,    // WOF (CompactOS, compact /exe): the data is in a compressed stream or a WIM
    Deduplicated,        // the data is in the volume's chunk store
    CloudNotHere,        // a cloud file whose data is not on this machine: a write would download it
    NotDeleted,          // the system took the delete, yet the file is still there
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

// The entries a run leaves alone by choice and goes past, as against failures that stop it:
// nothing was written to them, and nothing the user can do in the middle of a run changes that.
inline bool IsLeftAloneByDesign(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::HasOtherNames:
        case ErrorKind::LinkLeftAlone:
        case ErrorKind::ListedByShortName:
        case ErrorKind::Compressed:
        case ErrorKind::Encrypted:
        case ErrorKind::ExternallyBacked:
        case ErrorKind::Deduplicated:
        case ErrorKind::CloudNotHere:
        case ErrorKind::MountPoint:
            return true;
        default:
            return false;
    }
}

}  // namespace shredder
