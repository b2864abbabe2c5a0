#pragma once

// Turning the open dialog's answer, a chosen file or a chosen folder into listed files.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/path.h"

namespace shredder {

// Turns the open dialog's answer into full paths, in the order the dialog gave them:
// "" -> none; one full path -> itself; folder NUL name NUL name ... -> folder\name each.
std::vector<std::string> PathsFromOpenAnswer(std::string_view answer, char separator = kPathSeparator);

// A path chosen by the user, made ready for the list: absolute, with its folder identified.
ListedFile ListFile(const std::string& path, FileSystem& fs);

// Lists chosen paths one after another, identifying a folder once for the paths in it that come
// in a row (a dialog's answer, a drop): on some systems identifying a folder is slow.
class FileLister {
public:
    explicit FileLister(FileSystem& fs) : fs_(fs) {}
    ListedFile operator()(const std::string& path);

private:
    FileSystem& fs_;
    std::string folder_;
    std::optional<FileId> id_;
};

struct UnreadableFolder {
    std::string folder;
    SysError error;
};

struct WalkOutcome {
    std::vector<UnreadableFolder> unreadable;  // folders skipped because they could not be read
};

// Hands every regular file and file link below `root` to onFile, breadth-first: the files
// directly in a folder first, then each subfolder's in the order the subfolders were found.
// Hidden and system entries are neither listed nor entered; links to folders and the roots of
// other mounts are never entered; pipes, sockets and devices are never listed. A folder that
// cannot be read is skipped and the walk goes on. A stop request ends the walk at the next entry.
WalkOutcome CollectFolder(const std::string& root, FileSystem& fs, const std::function<void(ListedFile)>& onFile,
                          const StopRequest* stop = nullptr);

}  // namespace shredder
