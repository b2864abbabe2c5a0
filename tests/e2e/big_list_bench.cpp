// Not a check: how the real window copes with a very long list, for bench/README.md. Run by hand:
//   e2e_tests.exe --gtest_also_run_disabled_tests --gtest_filter=*BigList*
// SHREDDER_BENCH_FILES sets how many empty files the dropped folder holds (20000 unless set).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/drop.h"
#include "driver/program.h"
#include "driver/wait.h"
#include "driver/wine_host.h"
#include "tests/win32/temp_folder.h"
#include "user_steps.h"

namespace shredder::testing {
namespace {
using Clock = std::chrono::steady_clock;

// Asks the window for WM_NULL without pause and keeps the slowest answer of the current phase.
class Probe {
public:
    explicit Probe(HWND window) : window_(window), thread_([this] { loop(); }) {}
    ~Probe() {
        done_ = true;
        thread_.join();
    }
    double takeWorstMs() { return static_cast<double>(worstUs_.exchange(0)) / 1000.0; }

private:
    void loop() {
        while (!done_) {
            const auto start = Clock::now();
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
            long long seen = worstUs_;
            while (us > seen && !worstUs_.compare_exchange_weak(seen, us)) {
            }
            ::Sleep(10);
        }
    }
    HWND window_;
    std::atomic<bool> done_{false};
    std::atomic<long long> worstUs_{0};
    std::thread thread_;
};

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Report(const char* phase, double seconds, std::size_t entries, Probe& probe) {
    std::printf("%-28s %8.2f s  %7.2f us/entry  slowest probe %7.1f ms\n", phase, seconds,
                seconds * 1e6 / static_cast<double>(std::max<std::size_t>(entries, 1)), probe.takeWorstMs());
}

std::size_t ListCount(const Program& program) {
    return static_cast<std::size_t>(::SendMessageW(program.control(layout::kList1), LB_GETCOUNT, 0, 0));
}

TEST(BigList, DISABLED_DropRunEndAndStop) {
    const char* wanted = std::getenv("SHREDDER_BENCH_FILES");
    const std::size_t files = wanted ? std::stoul(wanted) : 20000;
    // In folders of 200, as documents are kept: under Wine each delete's confirmation reads the
    // whole folder (Wine looks for a name it cannot find in every spelling), so one folder of
    // 200,000 would measure that, for hours, and not the window.
    constexpr std::size_t kFolderFiles = 200;
    const std::size_t folders = (files + kFolderFiles - 1) / kFolderFiles;
    const TempFolder folder;
    const auto tree = folder.makeFolder(L"many");
    // Made on the Linux side: through Wine, making the files would take longer than the phases.
    const auto makeFiles = [&] {
        return host::RunShell(
            "cd \"$1\" && i=0 && while [ $i -lt \"$2\" ]; do n=$(($2 - i)); [ $n -gt $3 ] && n=$3;"
            " d=$(printf 'd%05d' $((i / $3))); mkdir -p $d && (cd $d && seq -w 1 $n | sed 's/^/f/' | xargs touch);"
            " i=$((i + n)); done",
            {host::UnixPath(tree), std::to_string(files), std::to_string(kFolderFiles)}, std::chrono::minutes(10));
    };
    // Folders the run has emptied; the run takes the listed folders one after the other.
    const auto emptied = [&] {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(tree)) {
            if (std::filesystem::is_empty(entry.path())) ++count;
        }
        return count;
    };
    ASSERT_TRUE(makeFiles());
    const Program program;
    Probe probe(program.window());

    for (const bool stopHalfWay : {false, true}) {
        auto start = Clock::now();
        const Drop drop(program, {tree});
        ASSERT_TRUE(drop.posted());
        // The list fills only once the walk has ended: its first entry parts the two.
        ASSERT_TRUE(WaitUntil([&] { return ListCount(program) > 0; }, std::chrono::minutes(30)));
        const double walk = Since(start);
        ASSERT_TRUE(WaitUntil([&] { return ListCount(program) == files; }, std::chrono::minutes(30)));
        ASSERT_TRUE(WaitUntilIdle(program));
        std::printf("%-28s %8.2f s  %7.2f us/entry\n", "  of which the walk", walk,
                    walk * 1e6 / static_cast<double>(files));
        Report("drop of the folder", Since(start), files, probe);

        ASSERT_TRUE(Press(program.control(layout::kCommand3)));
        HWND confirmation = WaitForDialog(program);
        ASSERT_NE(confirmation, nullptr);
        start = Clock::now();
        Press(confirmation, IDOK);
        if (stopHalfWay) {
            ASSERT_TRUE(WaitUntil(
                [&] {
                    ::Sleep(500);  // a look at every folder is not free
                    return emptied() >= folders / 2;
                },
                std::chrono::minutes(30)));
            ::PostMessageW(program.window(), WM_CLOSE, 0, 0);
            HWND question = WaitForBoxAfter(program, confirmation, std::chrono::minutes(30));
            ASSERT_NE(question, nullptr);
            Report("run to half way", Since(start), files / 2, probe);
            start = Clock::now();
            Press(question, IDYES);
            ASSERT_TRUE(WaitUntilIdle(program));
            const std::size_t left = ListCount(program);
            Report("stop, to the rest listed", Since(start), left, probe);
            std::printf("entries left after the stop: %zu\n", left);
        } else {
            HWND done = WaitForBoxAfter(program, confirmation, std::chrono::minutes(30));
            ASSERT_NE(done, nullptr);
            Report("run", Since(start), files, probe);
            start = Clock::now();
            Press(done, IDOK);
            ASSERT_TRUE(WaitUntil([&] { return ListCount(program) == 0; }, std::chrono::minutes(30)));
            Report("end: last file to empty list", Since(start), files, probe);
            ASSERT_TRUE(makeFiles());
        }
    }
}

}  // namespace
}  // namespace shredder::testing
