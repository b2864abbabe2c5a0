// shred-bench: the real collection and shred code driven without a window, for measuring and
// for checking what it leaves on a disk.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/bench_arguments.h"
#include "bench/collect_sources.h"
#include "bench/file_size.h"
#include "bench/headless_controls.h"
#include "bench/json_text.h"
#include "platform/native.h"
#include "shred/shred_run.h"

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

int ReportCollectFailure(const std::string& error, std::size_t files) {
    PrintLine("{\"ok\":false,\"error\":" + JsonString(error) + ",\"files\":" + std::to_string(files) + "}");
    return 1;
}

int PrintList(const ListBox& list) {
    for (std::size_t i = 0, count = list.count(); i < count; ++i) PrintLine(list.at(i));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int Shred(HeadlessList& list, FileSystem& fs) {
    const std::size_t files = list.count();
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < files; ++i) bytes += BytesToOverwrite(list.at(i));

    HeadlessButton startButton;
    HeadlessProgressBar progress;
    AnsweringMessageBox messages;
    const auto started = std::chrono::steady_clock::now();
    Command3_Click({list, startButton, progress, messages, fs});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const std::string counts = "\"files\":" + std::to_string(files) + ",\"bytes\":" + std::to_string(bytes) +
                               ",\"seconds\":" + Number("%.6f", seconds);
    if (const auto& error = messages.error()) {
        // The run leaves the failing entry and those after it in the list.
        const std::size_t shredded = files - list.count();
        PrintLine("{\"ok\":false,\"error\":" + JsonString(*error) + "," + counts +
                  ",\"shredded\":" + std::to_string(shredded) + "}");
        return 1;
    }
    const double mbPerSecond = seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0;
    PrintLine("{\"ok\":true," + counts + ",\"mb_per_s\":" + Number("%.3f", mbPerSecond) + "}");
    return 0;
}

int Run(int argc, char** argv) {
    const auto arguments = ParseBenchArguments(ProgramArguments(argc, argv));
    if (!arguments) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    const auto fs = MakeNativeFileSystem();
    HeadlessList list;
    if (const auto error = CollectSources(*arguments, *fs, list)) return ReportCollectFailure(*error, list.count());
    if (arguments->listOnly) return PrintList(list);
    return Shred(list, *fs);
}

}  // namespace
}  // namespace shredder::bench

int main(int argc, char** argv) { return shredder::bench::Run(argc, argv); }
