#pragma once

// The shred run's entry point and what it returns.
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

// An entry the run chose not to touch (see IsLeftAloneByDesign): nothing was written to it.
struct LeftAlone {
    std::size_t index = 0;  // in the listed files
    std::string path;
    SysError reason;
};

struct ShredOutcome {
    // Entries from the front of the list the run got through: shredded, a link removed, a
    // repeat of a path met earlier in the run, or left alone.
    std::size_t finished = 0;
    std::vector<LeftAlone> leftAlone;     // among the finished, in list order
    std::optional<ShredFailure> failure;  // the run stopped at entry `finished`
    std::uint64_t bytesWritten = 0;       // zeros written over data, streams included
    bool stopped = false;                 // a stop request ended the run early
};

// Resets the attributes of every file, then overwrites each in place with zeros (its named
// streams too), flushes and deletes it. An entry left alone by design is passed over; the first
// failing step ends the run. `progress` follows the current file, `run` (when given) the whole
// run; `stop` is looked at between files. `outcome` is kept up to date as the run goes, so that
// whatever ends it, an exception included, the caller knows which entries are done.
void ShredFiles(const std::vector<ListedFile>& files, FileSystem& fs, ProgressBar& progress, ShredOutcome& outcome,
                const StopRequest* stop = nullptr, RunProgress* run = nullptr);

inline ShredOutcome ShredFiles(const std::vector<ListedFile>& files, FileSystem& fs, ProgressBar& progress,
                               const StopRequest* stop = nullptr, RunProgress* run = nullptr) {
    ShredOutcome outcome;
    ShredFiles(files, fs, progress, outcome, stop, run);
    return outcome;
}

}  // namespace shredder
