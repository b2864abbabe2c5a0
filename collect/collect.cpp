// Listing chosen files and walking a chosen folder, breadth-first, over the file system.
#include "collect/collect.h"

#include <deque>

namespace shredder {

std::vector<std::string> PathsFromOpenAnswer(std::string_view answer, char separator) {
    std::vector<std::string> paths;
    if (answer.empty()) return paths;

    const std::size_t firstNul = answer.find('\0');
    if (firstNul == std::string_view::npos) {
        paths.emplace_back(answer);
        return paths;
    }

    // A drive root such as C:\ already ends in a separator; nothing is doubled.
    const std::string folder = WithTrailingSeparator(std::string(answer.substr(0, firstNul)), separator);
    std::size_t start = firstNul + 1;
    while (start <= answer.size()) {
        std::size_t end = answer.find('\0', start);
        if (end == std::string_view::npos) end = answer.size();
        paths.push_back(folder + std::string(answer.substr(start, end - start)));
        start = end + 1;
    }
    return paths;
}

ListedFile ListFile(const std::string& path, FileSystem& fs) { return FileLister(fs)(path); }

ListedFile FileLister::operator()(const std::string& path) {
    ListedFile listed{fs_.absolutePath(path), std::nullopt};
    const std::string folder = ParentFolder(listed.path);
    if (folder != folder_ || folder_.empty()) {
        // The folder as it is reached now, links the user went through included. When it
        // cannot be identified the entry is still listed; the run then refuses it with the reason.
        folder_ = folder;
        id_.reset();
        FileId id;
        if (!fs_.identifyFolder(folder, id)) id_ = id;
    }
    listed.folder = id_;
    return listed;
}

WalkOutcome CollectFolder(const std::string& root, FileSystem& fs, const std::function<void(ListedFile)>& onFile,
                          const StopRequest* stop) {
    WalkOutcome outcome;
    if (root.empty()) return outcome;

    // A queue instead of recursion: one enumeration open at a time, and no stack used for depth.
    std::deque<std::string> folders{fs.absolutePath(root)};
    const auto stopped = [stop] { return stop && stop->requested(); };
    while (!folders.empty() && !stopped()) {
        const std::string current = WithTrailingSeparator(std::move(folders.front()));
        folders.pop_front();
        FileId folderId;
        const Failure failed = fs.listDirectory(current, folderId, [&](const DirEntry& entry) {
            // Looked at between entries: one folder can hold a million of them.
            if (stopped()) return ListingStep::Stop;
            if (entry.isHidden) return ListingStep::Continue;
            switch (entry.kind) {
                case EntryKind::Directory:
                    // Another file system's folder is not part of this tree, as a mounted volume
                    // (a junction) is not on Windows.
                    if (!entry.isMountPoint) folders.push_back(current + entry.name);
                    break;
                case EntryKind::Link:
                    // A folder link is never entered, so nothing outside the tree is listed and
                    // a cycle cannot loop; a file link is listed and the run removes the link.
                    if (!entry.linkToDirectory) onFile(ListedFile{current + entry.name, folderId});
                    break;
                case EntryKind::File:
                    onFile(ListedFile{current + entry.name, folderId});
                    break;
                case EntryKind::Other:
                    break;
            }
            return ListingStep::Continue;
        });
        // Breadth-first, so stopping here would silently leave out every folder after this one.
        if (failed) outcome.unreadable.push_back(UnreadableFolder{current, *failed});
    }
    return outcome;
}

}  // namespace shredder
