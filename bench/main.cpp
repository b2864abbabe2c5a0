// shred-bench: the real collection and shred run without a window, for measuring and for
// checking what it leaves on a disk.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/texts.h"
#include "bench/bench_parts.h"
#include "collect/collect.h"
#include "shred/shred_files.h"

namespace shredder::bench {
namespace {

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string Number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The bar of a run nobody watches.
class UnseenProgressBar : public ProgressBar {
public:
    void setMax(float) override {}
    void setMin(float) override {}
    float value() const override { return value_; }
    void setValue(float value) override { value_ = value; }

private:
    float value_ = 0;
};

// Lists the sources the way the window's commands do: a FILE as the add-files command lists a
// chosen file, a --walk DIR as the add-folder command walks a chosen folder.
std::vector<ListedFile> Collect(const BenchArguments& arguments, FileSystem& fs,
                                std::vector<UnreadableFolder>& unreadable) {
    std::vector<ListedFile> files;
    for (const Source& source : arguments.sources) {
        if (source.kind == Source::Kind::File) {
            files.push_back(ListFile(source.path, fs));
            continue;
        }
        WalkOutcome walk = CollectFolder(source.path, fs, [&](ListedFile file) { files.push_back(std::move(file)); });
        unreadable.insert(unreadable.end(), walk.unreadable.begin(), walk.unreadable.end());
    }
    return files;
}

int Shred(const std::vector<ListedFile>& files, FileSystem& fs) {
    UnseenProgressBar progress;
    const auto started = std::chrono::steady_clock::now();
    const ShredOutcome outcome = ShredFiles(files, fs, progress);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const std::string counts = "\"files\":" + std::to_string(files.size()) +
                               ",\"bytes\":" + std::to_string(outcome.bytesWritten) +
                               ",\"seconds\":" + Number("%.6f", seconds);
    // What the run left alone by design, each with its reason; the run went on past them.
    std::string left = ",\"left\":[";
    for (std::size_t i = 0; i < outcome.leftAlone.size(); ++i) {
        const LeftAlone& entry = outcome.leftAlone[i];
        left += (i ? "," : "") + std::string("{\"path\":") + JsonString(entry.path) +
                ",\"reason\":" + JsonString(texts::DescribeError(entry.reason)) + "}";
    }
    left += "]";
    if (outcome.failure) {
        PrintLine("{\"ok\":false,\"error\":" + JsonString(texts::DescribeShredFailure(*outcome.failure)) + "," +
                  counts + ",\"shredded\":" + std::to_string(outcome.finished - outcome.leftAlone.size()) + left + "}");
        return 1;
    }
    const double mbPerSecond = seconds > 0 ? static_cast<double>(outcome.bytesWritten) / 1e6 / seconds : 0.0;
    // ok only when every listed entry was shredded.
    const bool ok = outcome.leftAlone.empty();
    PrintLine(std::string("{\"ok\":") + (ok ? "true" : "false") + "," + counts + ",\"mb_per_s\":" +
              Number("%.3f", mbPerSecond) + left + "}");
    return ok ? 0 : 1;
}

int Run(int argc, char** argv) {
    const auto arguments = ParseBenchArguments(ProgramArguments(argc, argv));
    if (!arguments) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    const auto fs = MakeNativeFileSystem();
    std::vector<UnreadableFolder> unreadable;
    const std::vector<ListedFile> files = Collect(*arguments, *fs, unreadable);
    if (!unreadable.empty()) {
        PrintLine("{\"ok\":false,\"error\":" + JsonString(texts::DescribeUnreadableFolders(unreadable)) +
                  ",\"files\":" + std::to_string(files.size()) + "}");
        return 1;
    }
    if (arguments->listOnly) {
        for (const ListedFile& file : files) PrintLine(file.path);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    return Shred(files, *fs);
}

}  // namespace
}  // namespace shredder::bench

int main(int argc, char** argv) { return shredder::bench::Run(argc, argv); }
