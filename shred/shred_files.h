#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/ui.h"

namespace shredder {

// Files longer than this are written chunk by chunk, one progress step a chunk.
inline constexpr std::size_t kChunkBytes = 1'000'000;

// The whole run's progress, over the bytes of all the listed files.
class RunProgress {
public:
    virtual ~RunProgress() = default;
    virtual void runProgress(std::uint64_t done, std::uint64_t total) = 0;
};

enum class ShredStep {
    ResetAttributes,
    Open,
    ReadLength,
    Write,
    Flush,
    OverwriteStream,  // a named stream could not be opened, written or flushed
    RemoveLink,
    Delete,
    Close,
};

struct ShredFailure {
    std::string path;
    ShredStep step = ShredStep::Open;
    SysError error;
    std::string stream;  // the named stream, for OverwriteStream
};

struct ShredOutcome {
    // Entries from the front of the list that are done: shredded, a link removed, or a repeat
    // of a path shredded earlier in the run.
    std::size_t finished = 0;
    std::optional<ShredFailure> failure;  // the run stopped at entry `finished`
    std::uint64_t bytesWritten = 0;       // zeros written over data, streams included
    bool stopped = false;                 // a stop request ended the run early
};

// Resets the attributes of every file, then overwrites each in place with zeros (its named
// streams too), flushes and deletes it. The first failing step ends the run. `progress`
// follows the current file, `run` (when given) the whole run; `stop` is looked at between
// files.
ShredOutcome ShredFiles(const std::vector<ListedFile>& files, FileSystem& fs, ProgressBar& progress,
                        const StopRequest* stop = nullptr, RunProgress* run = nullptr);

}  // namespace shredder
