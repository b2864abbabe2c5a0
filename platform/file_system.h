#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/sys_error.h"

namespace shredder {

// A file opened for overwriting in place. Destroying it closes it if close() was not called.
class OpenedFile {
public:
    virtual ~OpenedFile() = default;
    virtual Failure length(std::uint64_t& bytes) = 0;
    // Writes all `size` bytes at the current position; writes follow one another.
    virtual Failure write(const char* data, std::size_t size) = 0;
    // Forces what was written down to the medium.
    virtual Failure flush() = 0;
    virtual Failure close() = 0;
};

struct OpenOutcome {
    std::unique_ptr<OpenedFile> file;  // set when a regular file was opened
    bool isLink = false;               // the path is a symbolic link or junction: nothing was opened
    Failure error;
};

struct DirEntry {
    std::string name;  // the name alone, never "." or ".."
    bool isDirectory = false;  // a folder, or a link to one
    bool isHidden = false;  // hidden or system
    bool isLink = false;    // a symbolic link, junction or other reparse point
};

enum class PathKind { Missing, File, Directory, Link };

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Clears read-only, hidden, system and archive. Does not follow a link.
    virtual Failure resetAttributes(const std::string& path) = 0;

    // Opens for reading and writing without truncating, creating the file empty when it does
    // not exist. A link is never opened through: the outcome says isLink instead.
    virtual OpenOutcome openForOverwrite(const std::string& path) = 0;

    // Deletes a file, or a link itself (never its target).
    virtual Failure remove(const std::string& path) = 0;

    // Calls onEntry for every entry of the folder, one enumeration open at a time.
    virtual Failure listDirectory(const std::string& folder,
                                  const std::function<void(const DirEntry&)>& onEntry) = 0;

    // What a path names, without following a final link.
    virtual PathKind kindOf(const std::string& path) = 0;
};

}  // namespace shredder
