#pragma once

// The file system as the engine sees it: identities, listed files, opened files and streams,
// the walk's listing and the run's opens. Win32, POSIX and the tests' fakes implement it.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sys_error.h"

namespace shredder {

// Which object on which volume, whatever name reaches it: two names with the same identity are
// the same file or folder. Windows: volume serial number and the 128-bit file id where the
// volume has one (NTFS, ReFS: ReFS's 64-bit index is not unique), the 64-bit index elsewhere;
// POSIX: st_dev, st_ino.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t high = 0;  // the upper half of a 128-bit file id; 0 where there is none
    friend bool operator==(const FileId&, const FileId&) = default;
};

// One entry of the shred list: the path as the user knows it, and the identity of the folder
// that held the file when it was listed. The run writes only to a file it finds in that very
// folder, so a folder swapped for a link after listing cannot redirect it, while links the user
// went through on purpose when listing (a junctioned profile folder) keep working.
struct ListedFile {
    std::string path;
    std::optional<FileId> folder;  // empty when the folder could not be identified when listing
};

// A run of bytes of a file that holds data; the holes of a sparse file lie between them.
struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// What a folder entry or a path is, never looking through a final link.
enum class EntryKind {
    File,       // a regular file (on Windows also a reparse point that holds data, such as a
                // cloud placeholder or a deduplicated file)
    Directory,  // a folder, also one that is a data-holding reparse point
    Link,       // a symbolic link or junction: a name for something else
    Other,      // a FIFO, socket or device: never listed, never opened
};

struct DirEntry {
    std::string name;  // the name alone, never "." or ".."
    EntryKind kind = EntryKind::File;
    bool linkToDirectory = false;  // a Link that leads to a folder
    bool isHidden = false;         // hidden or system
    // The root of another mount (POSIX): another file system's entry, never entered or written.
    // Windows shows mounted volumes as junctions, which are links.
    bool isMountPoint = false;
};

// The answer to each entry of a listing: reading a folder of a million entries must be
// stoppable between two of them, not only once the folder is done.
enum class ListingStep { Continue, Stop };
using EntryHandler = std::function<ListingStep(const DirEntry&)>;

// Bytes that can be overwritten in place: a file's main data or one of its named streams.
// Destroying it closes it if close() was not called.
class OpenedData {
public:
    virtual ~OpenedData() = default;
    virtual Failure length(std::uint64_t& bytes) = 0;
    // Writes all `size` bytes starting at `offset`.
    virtual Failure writeAt(std::uint64_t offset, const char* data, std::size_t size) = 0;
    // Forces what was written down to the medium.
    virtual Failure flush() = 0;
    virtual Failure close() = 0;
};

// A listed file (or the link at its place), opened after the layer confirmed that it is the
// entry at the listed location: found in the listed folder, under its listed name, no link
// followed on the way.
class OpenedFile : public OpenedData {
public:
    // How many names (hard links) the file has; the run writes only to a file with one.
    virtual Failure nameCount(std::uint32_t& names) = 0;
    // The ranges that hold data, in ascending order: the whole length for an ordinary file,
    // only the allocated parts of a sparse one.
    virtual Failure dataRanges(std::vector<ByteRange>& ranges) = 0;
    // The names of the file's named data streams (NTFS alternate data streams), without the
    // main stream. None on systems that have no such streams.
    virtual Failure namedStreams(std::vector<std::string>& names) = 0;
    // Opens one named stream of this very file for overwriting.
    virtual Failure openNamedStream(const std::string& name, std::unique_ptr<OpenedData>& stream) = 0;
    // Deletes the file (or the link) this handle is open on, by the handle or after confirming
    // that the name still leads to it: never a file that took its name meanwhile. On Windows
    // the file goes when it is closed.
    virtual Failure remove() = 0;
};

struct OpenOutcome {
    std::unique_ptr<OpenedFile> file;  // set on success
    // The listed entry is a link that can be removed on its own; `file` is open on the link
    // itself and only remove() and close() may be used. Nothing may be written.
    bool isLink = false;
    // NotFound: vanished since listing. ChangedSinceListed: the folder is not the listed one.
    // LinkLeftAlone: a link that cannot be removed without touching its target. MountPoint:
    // another file system is mounted on the name; nothing was touched.
    // NotARegularFile: a folder, device or pipe; it was not opened for writing.
    Failure error;
};

// Asked for by the window's thread while long file-system work runs on another; the work looks
// at it between files (a run) or entries (a walk).
class StopRequest {
public:
    void request() { requested_.store(true, std::memory_order_relaxed); }
    bool requested() const { return requested_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> requested_{false};
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // --- Listing ---

    // A relative path made absolute against the working folder, once, when it is listed. An
    // absolute path comes back unchanged: the system never rewrites a listed name.
    virtual std::string absolutePath(const std::string& path) = 0;

    // The identity of a folder, reached the way the system reaches it (through any link on the
    // path as it is now).
    virtual Failure identifyFolder(const std::string& folder, FileId& id) = 0;

    // Calls onEntry for every entry of the folder, one enumeration open at a time, and says
    // which folder was read. Reads no further entry once onEntry answers Stop.
    virtual Failure listDirectory(const std::string& folder, FileId& folderId, const EntryHandler& onEntry) = 0;

    // What a path names, without following a final link. nullopt when nothing is there.
    virtual std::optional<EntryKind> kindOf(const std::string& path) = 0;

    // --- The run ---

    // Clears read-only, hidden, system and archive of the listed file, and tells its length for
    // the whole run's progress. Never through a link: a link, or an entry that is not a regular
    // file, is left as it is with length 0 (the open says why).
    virtual Failure resetAttributes(const ListedFile& file, std::uint64_t& length) = 0;

    // Opens an existing listed file for overwriting in place, never creating or truncating it
    // and never opening anything for writing before it is known to be a regular file.
    virtual OpenOutcome openForOverwrite(const ListedFile& file) = 0;

    // The run is over: anything held open for it (a checked folder, say) is let go.
    virtual void workEnded() {}
};

// The file system of the platform the program was built for (Win32 or POSIX).
std::unique_ptr<FileSystem> MakeNativeFileSystem();

// The program's arguments as UTF-8, whatever the console's code page (argv[0] left out).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace shredder
