#include "shred/shred_run.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/texts.h"

namespace shredder {
namespace {

struct StepFailure {
    const char* step;  // what was being done, as the user reads it
    SysError error;
};

const char* ZeroChunk() {
    // One chunk of zeros is all the memory the run needs, whatever the file's size.
    static const std::string zeros(kChunkBytes, '\0');
    return zeros.data();
}

Failure WriteZerosWithProgress(OpenedFile& file, std::uint64_t n, ProgressBar& progress) {
    const auto max = static_cast<float>(n);
    progress.setMax(max);
    progress.setMin(0.0f);
    if (n > kChunkBytes) {
        const std::uint64_t wholeChunks = n / kChunkBytes;
        for (std::uint64_t c = 0; c < wholeChunks; ++c) {
            if (Failure failed = file.write(ZeroChunk(), kChunkBytes)) return failed;
            // Single precision cannot add exactly past 2^24: never let the bar pass its end.
            progress.setValue(std::min(progress.value() + static_cast<float>(kChunkBytes), max));
        }
        if (Failure failed = file.write(ZeroChunk(), static_cast<std::size_t>(n % kChunkBytes))) return failed;
    } else {
        if (Failure failed = file.write(ZeroChunk(), static_cast<std::size_t>(n))) return failed;
    }
    progress.setValue(max);
    progress.setValue(0.0f);
    return std::nullopt;
}

std::optional<StepFailure> OverwriteAndDelete(const std::string& path, FileSystem& fs, ProgressBar& progress) {
    OpenOutcome opened = fs.openForOverwrite(path);
    if (opened.error) return StepFailure{"打开", *opened.error};
    if (opened.isLink) {
        // Writing through a link would destroy its target, which the user never listed.
        if (Failure failed = fs.remove(path)) return StepFailure{"删除链接", *failed};
        return std::nullopt;
    }

    OpenedFile& file = *opened.file;
    std::uint64_t n = 0;
    if (Failure failed = file.length(n)) return StepFailure{"读取长度", *failed};
    if (n != 0) {
        if (Failure failed = WriteZerosWithProgress(file, n, progress)) return StepFailure{"写入", *failed};
    }
    // Without the flush the delete may drop the cached zeros and leave the old bytes on disk.
    if (Failure failed = file.flush()) return StepFailure{"写入磁盘", *failed};
    if (Failure failed = file.close()) return StepFailure{"关闭", *failed};
    if (Failure failed = fs.remove(path)) return StepFailure{"删除", *failed};
    return std::nullopt;
}

void ReportFailure(MessageBox& messages, const std::string& path, const StepFailure& failure) {
    const std::string text = std::string(texts::kShredFailed) + "\n" + path + "\n\n" + failure.step +
                             "失败：" + DescribeInChinese(failure.error);
    messages.show(text, texts::kShredCaption, MessageButtons::Ok, MessageIcon::Error);
}

}  // namespace

void Command3_Click(const ShredRunParts& parts) {
    ListBox& list = parts.list;
    if (list.count() == 0) return;
    if (parts.messages.show(texts::kConfirmShred, texts::kShredCaption, MessageButtons::OkCancel,
                            MessageIcon::Question) == MessageResult::Cancel) {
        return;
    }

    // Every attribute is reset before any file is opened, so a file that cannot be reached
    // stops the run before anything was overwritten.
    for (std::size_t i = 0, count = list.count(); i < count; ++i) {
        const std::string path = list.at(i);
        if (Failure failed = parts.fs.resetAttributes(path)) {
            ReportFailure(parts.messages, path, StepFailure{"重置属性", *failed});
            return;
        }
    }

    for (std::size_t i = 0, count = list.count(); i < count; ++i) {
        const std::string path = list.at(i);
        if (auto failure = OverwriteAndDelete(path, parts.fs, parts.progress)) {
            // The files already gone leave the list; the failing one and the rest stay for a retry.
            const ListBatch batch(list);
            for (std::size_t done = 0; done < i; ++done) list.removeAt(0);
            ReportFailure(parts.messages, path, *failure);
            return;
        }
    }

    parts.messages.show(texts::kShredDone, texts::kAppTitle, MessageButtons::Ok, MessageIcon::None);
    list.clear();
    parts.startButton.setEnabled(false);
}

}  // namespace shredder
