// The shred run: reset every attribute, then zero, flush and delete each listed file in turn.
#include "shred/shred_files.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace shredder {
namespace {

const char* ZeroChunk() {
    // One chunk of zeros is all the memory the run needs, whatever the file's size.
    static const std::string zeros(kChunkBytes, '\0');
    return zeros.data();
}

std::uint64_t TotalLength(const std::vector<ByteRange>& ranges) {
    std::uint64_t total = 0;
    for (const ByteRange& range : ranges) total += range.length;
    return total;
}

// What the run tells as it goes: the bar follows the current file, the run progress all files.
class Progress {
public:
    Progress(ProgressBar& bar, RunProgress* run, std::uint64_t total) : bar_(bar), run_(run), total_(total) {}

    void startFile(float max) {
        max_ = max;
        writtenInFile_ = 0;
        bar_.setMax(max);
        bar_.setMin(0.0f);
    }
    void chunkWritten() {
        // Single precision cannot add exactly past 2^24: never let the bar pass its end.
        bar_.setValue(std::min(bar_.value() + static_cast<float>(kChunkBytes), max_));
        writtenInFile_ += kChunkBytes;
        tellRun();
    }
    void endFile() {
        bar_.setValue(max_);
        bar_.setValue(0.0f);
    }
    // An entry is done: its whole length counts, holes and all.
    void entryDone(std::uint64_t length) {
        doneBefore_ += length;
        writtenInFile_ = 0;
        tellRun();
    }

private:
    void tellRun() {
        if (run_) run_->runProgress(std::min(doneBefore_ + writtenInFile_, total_), total_);
    }

    ProgressBar& bar_;
    RunProgress* run_;
    std::uint64_t total_;
    std::uint64_t doneBefore_ = 0;
    std::uint64_t writtenInFile_ = 0;
    float max_ = 0.0f;
};

// Zeros over one range: runs longer than a chunk go chunk by chunk with one progress step each,
// then the remainder (issued even when empty); shorter ones in a single write.
Failure ZeroRange(OpenedData& data, const ByteRange& range, Progress* progress) {
    std::uint64_t offset = range.offset;
    if (range.length > kChunkBytes) {
        for (std::uint64_t c = 0, whole = range.length / kChunkBytes; c < whole; ++c) {
            if (Failure failed = data.writeAt(offset, ZeroChunk(), kChunkBytes)) return failed;
            offset += kChunkBytes;
            if (progress) progress->chunkWritten();
        }
        return data.writeAt(offset, ZeroChunk(), static_cast<std::size_t>(range.length % kChunkBytes));
    }
    return data.writeAt(offset, ZeroChunk(), static_cast<std::size_t>(range.length));
}

class FileShredder {
public:
    FileShredder(const ListedFile& listed, FileSystem& fs, Progress& progress, std::uint64_t& bytesWritten)
        : listed_(listed), fs_(fs), progress_(progress), bytesWritten_(bytesWritten) {}

    std::optional<ShredFailure> run() {
        OpenOutcome opened = fs_.openForOverwrite(listed_);
        if (opened.error) return fail(ShredStep::Open, *opened.error);
        OpenedFile& file = *opened.file;
        if (opened.isLink) {
            // Writing through a link would destroy its target, which the user never listed.
            if (Failure failed = file.remove()) return fail(ShredStep::RemoveLink, *failed);
            if (Failure failed = file.close()) return fail(ShredStep::Close, *failed);
            return std::nullopt;
        }

        // Zeros written through one name destroy the content under the others, never listed.
        std::uint32_t names = 1;
        if (Failure failed = file.nameCount(names)) return fail(ShredStep::Open, *failed);
        if (names > 1) return fail(ShredStep::Open, SysError{ErrorKind::HasOtherNames, static_cast<long>(names), ""});

        // Everything the file holds is found before a byte is written: a question the system
        // cannot answer must stop the run while the file is still whole, not after its main data
        // was zeroed and it can no longer be deleted.
        std::vector<ByteRange> ranges;
        if (Failure failed = file.dataRanges(ranges)) return fail(ShredStep::ReadLength, *failed);
        std::vector<std::string> streams;
        if (Failure failed = file.namedStreams(streams)) return fail(ShredStep::OverwriteStream, *failed);

        // Only what holds data is written: the holes of a sparse file would be allocated.
        if (const std::uint64_t total = TotalLength(ranges); total != 0) {
            progress_.startFile(static_cast<float>(total));
            for (const ByteRange& range : ranges) {
                if (Failure failed = ZeroRange(file, range, &progress_)) return fail(ShredStep::Write, *failed);
            }
            progress_.endFile();
            bytesWritten_ += total;
        }
        // Without the flush the delete may drop the cached zeros and leave the old bytes on disk.
        if (Failure failed = file.flush()) return fail(ShredStep::Flush, *failed);
        if (auto failed = zeroNamedStreams(file, streams)) return failed;
        if (Failure failed = file.remove()) return fail(ShredStep::Delete, *failed);
        if (Failure failed = file.close()) return fail(ShredStep::Close, *failed);
        return std::nullopt;
    }

private:
    // Deleting a file frees its named streams with their bytes still on the disk.
    std::optional<ShredFailure> zeroNamedStreams(OpenedFile& file, const std::vector<std::string>& streams) {
        for (const std::string& name : streams) {
            std::unique_ptr<OpenedData> stream;
            if (Failure failed = file.openNamedStream(name, stream)) return fail(ShredStep::OverwriteStream, *failed, name);
            std::uint64_t length = 0;
            Failure failed = stream->length(length);
            if (!failed && length != 0) failed = ZeroRange(*stream, ByteRange{0, length}, nullptr);
            if (!failed) failed = stream->flush();
            if (!failed) failed = stream->close();
            if (failed) return fail(ShredStep::OverwriteStream, *failed, name);
            bytesWritten_ += length;
        }
        return std::nullopt;
    }

    std::optional<ShredFailure> fail(ShredStep step, SysError error, std::string stream = {}) const {
        return ShredFailure{listed_.path, step, std::move(error), std::move(stream)};
    }

    const ListedFile& listed_;
    FileSystem& fs_;
    Progress& progress_;
    std::uint64_t& bytesWritten_;
};

}  // namespace

void ShredFiles(const std::vector<ListedFile>& files, FileSystem& fs, ProgressBar& progress, ShredOutcome& outcome,
                const StopRequest* stop, RunProgress* run) {
    // However the run ends, what the file system held for it is let go.
    struct LetGo {
        FileSystem& fs;
        ~LetGo() { fs.workEnded(); }
    } letGo{fs};
    outcome = ShredOutcome{};
    // Every attribute is reset before any file is opened, so a file that cannot be reached
    // stops the run before anything was overwritten.
    std::vector<std::uint64_t> lengths(files.size(), 0);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (Failure failed = fs.resetAttributes(files[i], lengths[i])) {
            outcome.failure = ShredFailure{files[i].path, ShredStep::ResetAttributes, *failed, {}};
            return;
        }
        total += lengths[i];
    }

    Progress told(progress, run, total);
    // A path listed twice is done once; looking for it again would find it missing.
    std::unordered_set<std::string> met;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (stop && stop->requested()) {
            outcome.stopped = true;
            return;
        }
        if (met.insert(files[i].path).second) {
            if (auto failure = FileShredder(files[i], fs, told, outcome.bytesWritten).run()) {
                // Refused before a byte was written, by the run's own rules: the rest still goes.
                if (failure->step != ShredStep::Open || !IsLeftAloneByDesign(failure->error.kind)) {
                    outcome.failure = std::move(failure);
                    return;
                }
                outcome.leftAlone.push_back(LeftAlone{i, files[i].path, std::move(failure->error)});
            }
        }
        told.entryDone(lengths[i]);
        ++outcome.finished;
    }
}

}  // namespace shredder
