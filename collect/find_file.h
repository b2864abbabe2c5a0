#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/list_box.h"

namespace shredder {

struct WalkFailure {
    std::string folder;  // the folder that could not be enumerated
    SysError error;
};

// Appends every file below getPath to the list, breadth-first: the files directly in the
// folder first, then each subfolder's in the order the subfolders were found. Folders are
// never listed; hidden and system entries are neither listed nor entered; links to folders
// (and other reparse-point folders) are never entered, so nothing outside the tree is listed
// and a link cycle cannot loop. A link to a file is listed like a file. The walk stops at a
// folder that cannot be enumerated; what was appended before stays.
std::optional<WalkFailure> Findfile(const std::string& getPath, FileSystem& fs, ListBox& list);

}  // namespace shredder
