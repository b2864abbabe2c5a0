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

// Zeros over one range: runs longer than a chunk go chunk by chunk with one progress step each,
// then the remainder (issued even when empty); shorter ones in a single write.
Failure ZeroRange(OpenedData& data, const ByteRange& range, ProgressBar* progress, float max) {
    std::uint64_t offset = range.offset;
    if (range.length > kChunkBytes) {
        for (std::uint64_t c = 0, whole = range.length / kChunkBytes; c < whole; ++c) {
            if (Failure failed = data.writeAt(offset, ZeroChunk(), kChunkBytes)) return failed;
            offset += kChunkBytes;
            // Single precision cannot add exactly past 2^24: never let the bar pass its end.
            if (progress) progress->setValue(std::min(progress->value() + static_cast<float>(kChunkBytes), max));
        }
        return data.writeAt(offset, ZeroChunk(), static_cast<std::size_t>(range.length % kChunkBytes));
    }
    return data.writeAt(offset, ZeroChunk(), static_cast<std::size_t>(range.length));
}

// The bar's maximum is what will really be written: the data of a sparse file, not its holes.
Failure ZeroRangesWithProgress(OpenedData& data, const std::vector<ByteRange>& ranges, ProgressBar& progress) {
    const auto max = static_cast<float>(TotalLength(ranges));
    progress.setMax(max);
    progress.setMin(0.0f);
    for (const ByteRange& range : ranges) {
        if (Failure failed = ZeroRange(data, range, &progress, max)) return failed;
    }
    progress.setValue(max);
    progress.setValue(0.0f);
    return std::nullopt;
}

class FileShredder {
public:
    FileShredder(const ListedFile& listed, FileSystem& fs, ProgressBar& progress, std::uint64_t& bytesWritten)
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

        std::vector<ByteRange> ranges;
        if (Failure failed = file.dataRanges(ranges)) return fail(ShredStep::ReadLength, *failed);
        if (TotalLength(ranges) != 0) {
            if (Failure failed = ZeroRangesWithProgress(file, ranges, progress_)) return fail(ShredStep::Write, *failed);
            bytesWritten_ += TotalLength(ranges);
        }
        // Without the flush the delete may drop the cached zeros and leave the old bytes on disk.
        if (Failure failed = file.flush()) return fail(ShredStep::Flush, *failed);
        if (auto failed = zeroNamedStreams(file)) return failed;
        if (Failure failed = file.remove()) return fail(ShredStep::Delete, *failed);
        if (Failure failed = file.close()) return fail(ShredStep::Close, *failed);
        return std::nullopt;
    }

private:
    // Deleting a file frees its named streams with their bytes still on the disk.
    std::optional<ShredFailure> zeroNamedStreams(OpenedFile& file) {
        std::vector<std::string> streams;
        if (Failure failed = file.namedStreams(streams)) return fail(ShredStep::OverwriteStream, *failed);
        for (const std::string& name : streams) {
            std::unique_ptr<OpenedData> stream;
            if (Failure failed = file.openNamedStream(name, stream)) return fail(ShredStep::OverwriteStream, *failed, name);
            std::uint64_t length = 0;
            Failure failed = stream->length(length);
            if (!failed && length != 0) failed = ZeroRange(*stream, ByteRange{0, length}, nullptr, 0.0f);
            if (!failed) bytesWritten_ += length;
            if (!failed) failed = stream->flush();
            if (!failed) failed = stream->close();
            if (failed) return fail(ShredStep::OverwriteStream, *failed, name);
        }
        return std::nullopt;
    }

    std::optional<ShredFailure> fail(ShredStep step, SysError error, std::string stream = {}) const {
        return ShredFailure{listed_.path, step, std::move(error), std::move(stream)};
    }

    const ListedFile& listed_;
    FileSystem& fs_;
    ProgressBar& progress_;
    std::uint64_t& bytesWritten_;
};

}  // namespace

ShredOutcome ShredFiles(const std::vector<ListedFile>& files, FileSystem& fs, ProgressBar& progress,
                        const StopRequest* stop) {
    ShredOutcome outcome;
    // Every attribute is reset before any file is opened, so a file that cannot be reached
    // stops the run before anything was overwritten.
    for (const ListedFile& file : files) {
        if (Failure failed = fs.resetAttributes(file)) {
            outcome.failure = ShredFailure{file.path, ShredStep::ResetAttributes, *failed, {}};
            return outcome;
        }
    }

    // A path listed twice is done once; looking for it again would find it missing.
    std::unordered_set<std::string> shredded;
    for (const ListedFile& file : files) {
        if (stop && stop->requested()) {
            outcome.stopped = true;
            return outcome;
        }
        if (!shredded.contains(file.path)) {
            if (auto failure = FileShredder(file, fs, progress, outcome.bytesWritten).run()) {
                outcome.failure = std::move(failure);
                return outcome;
            }
            shredded.insert(file.path);
        }
        ++outcome.finished;
    }
    return outcome;
}

}  // namespace shredder
