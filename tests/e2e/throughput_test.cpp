// Not a check: the time the real window takes for a run, for bench/README.md. Run by hand:
//   e2e_tests.exe --gtest_also_run_disabled_tests --gtest_filter=*Throughput*
// SHREDDER_MEASURED_PROGRAM names another build of the program to time the same way.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/drop.h"
#include "driver/program.h"
#include "driver/wait.h"
#include "tests/win32/temp_folder.h"
#include "user_steps.h"

namespace shredder::testing {
namespace {

std::filesystem::path MeasuredProgram() {
    const char* other = std::getenv("SHREDDER_MEASURED_PROGRAM");
    return other ? std::filesystem::path(other) : BuiltProgram();
}

// Seconds from the confirmation's OK to the completion box.
double TimeRun(const std::vector<std::filesystem::path>& files) {
    const Program program(MeasuredProgram());
    const Drop drop(program, files);
    EXPECT_TRUE(drop.posted());
    EXPECT_TRUE(WaitUntil([&] { return Entries(program).size() == files.size(); }, std::chrono::minutes(2)));
    EXPECT_TRUE(Press(program.control(layout::kCommand3)));
    HWND confirmation = WaitForDialog(program);
    EXPECT_NE(confirmation, nullptr);
    const auto started = std::chrono::steady_clock::now();
    Press(confirmation, IDOK);
    HWND done = WaitForBoxAfter(program, confirmation, std::chrono::minutes(5));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_NE(done, nullptr);
    if (done) Press(done, IDOK);
    return seconds;
}

TEST(Throughput, DISABLED_OneGibibyteAndTwoThousandSmallFiles) {
    for (int round = 0; round < 3; ++round) {
        TempFolder folder;
        const auto big = folder.writeSized(L"big.bin", 1ull << 30);
        const double bigSeconds = TimeRun({big});
        std::vector<std::filesystem::path> small;
        for (int i = 0; i < 2000; ++i) small.push_back(folder.writeSized(L"f" + std::to_wstring(i), 4096));
        const double smallSeconds = TimeRun(small);
        std::printf("round %d: 1 GiB %.3f s (%.1f MB/s); 2000 x 4 KiB %.3f s (%.0f files/s)\n", round, bigSeconds,
                    1073.741824 / bigSeconds, smallSeconds, 2000 / smallSeconds);
    }
}

}  // namespace
}  // namespace shredder::testing
