#include "collect/find_file.h"

#include <deque>

#include "platform/path.h"

namespace shredder {

std::optional<WalkFailure> Findfile(const std::string& getPath, FileSystem& fs, ListBox& list) {
    if (getPath.empty()) return std::nullopt;

    // A queue instead of recursion: one enumeration open at a time, and no stack used for depth.
    std::deque<std::string> folders{getPath};
    const ListBatch batch(list);
    while (!folders.empty()) {
        const std::string current = WithTrailingSeparator(std::move(folders.front()));
        folders.pop_front();
        Failure failed = fs.listDirectory(current, [&](const DirEntry& entry) {
            if (entry.isHidden) return;
            if (entry.isDirectory) {
                if (!entry.isLink) folders.push_back(current + entry.name);
                return;
            }
            list.append(current + entry.name);
        });
        if (failed) return WalkFailure{current, *failed};
    }
    return std::nullopt;
}

}  // namespace shredder
