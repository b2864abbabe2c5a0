// The window stays alive while a run or a walk works: it answers other programs, its controls
// rest, and closing it asks during a run and stops a walk at once.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/drop.h"
#include "driver/program.h"
#include "tests/win32/temp_folder.h"
#include "driver/wait.h"
#include "driver/wine_host.h"
#include "user_steps.h"
#include "window_test.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;
using Clock = std::chrono::steady_clock;

// Long enough for a run to last a few seconds under Wine on this machine.
constexpr std::uint64_t kLargeFile = 3'000'000'000;
// A run shorter than this shows too few of the bar's steps to tell a live window from one that
// only repaints at the end.
constexpr auto kLongEnoughToJudge = std::chrono::seconds(2);
// The largest file a run that was too short is tried again with; other work shares the disk.
constexpr std::uint64_t kLargestFile = 16'000'000'000;

// The next file's size after a run of `size` bytes lasted `seconds`: twice what the speed seen
// needs, never less than double, within what the disk can spare.
std::uint64_t GrownFor(std::uint64_t size, double seconds, const std::filesystem::path& folder) {
    const double needed = 2 * std::chrono::duration<double>(kLongEnoughToJudge).count();
    const double factor = seconds > 0 ? std::max(2.0, needed / seconds) : 2.0;
    std::uint64_t grown =
        std::min<std::uint64_t>(kLargestFile, static_cast<std::uint64_t>(static_cast<double>(size) * factor));
    ULARGE_INTEGER available{};
    if (::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) {
        grown = std::min<std::uint64_t>(grown, available.QuadPart / 2);
    }
    return grown;
}

class LiveWindowTest : public WindowTest {
protected:
    // Starts the run over what is listed and answers the confirmation.
    bool StartRun() {
        if (!Press(program.control(layout::kCommand3))) return false;
        HWND box = WaitForDialog(program);
        return box && Press(box, IDOK) && WaitUntilClosed(box);
    }

    // A message from another program, answered within half a second or not at all.
    bool Answers(HWND window, UINT message, DWORD_PTR* result = nullptr) const {
        DWORD_PTR ignored = 0;
        return ::SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 500, result ? result : &ignored) != 0;
    }

    struct RunSeen {
        Clock::duration lasted{};
        int probes = 0, unanswered = 0, positionsSeen = 0;
    };
    // Probes the window and reads its bar until the run's closing box shows.
    RunSeen WatchTheRun() const {
        const auto started = Clock::now();
        RunSeen seen;
        DWORD_PTR lastPosition = 0;
        while (DialogsOf(program).empty() && Clock::now() - started < std::chrono::minutes(2)) {
            ++seen.probes;
            if (!Answers(program.window(), WM_NULL)) ++seen.unanswered;
            DWORD_PTR position = 0;
            if (!Answers(program.control(layout::kJdt), PBM_GETPOS, &position)) ++seen.unanswered;
            if (position != lastPosition && position != 0) ++seen.positionsSeen;
            lastPosition = position;
            ::Sleep(50);
        }
        seen.lasted = Clock::now() - started;
        return seen;
    }

    struct Closing {
        std::filesystem::path large, small;
        HWND question;  // what closing asked, null when nothing asked
    };
    // A large file then a small one, the run started, and the window told to close.
    Closing CloseDuringARun() {
        Closing closing{files.writeSized(L"large.bin", kLargeFile), files.write(L"small.txt", "small"), nullptr};
        if (AddFiles(program, files.location(), {L"large.bin", L"small.txt"}) && StartRun()) {
            ::PostMessageW(program.window(), WM_CLOSE, 0, 0);
            closing.question = WaitForDialog(program);
        }
        return closing;
    }
};

TEST_F(LiveWindowTest, DuringARunTheWindowAnswersEveryProbeAndItsBarMoves) {
    // A fast disk or a warm cache can finish a file of any fixed size too soon to show a bar
    // moving: a run too short to judge is run again over a file grown from the speed it showed.
    std::uint64_t size = kLargeFile;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        SCOPED_TRACE("file of " + std::to_string(size) + " bytes");
        files.writeSized(L"large.bin", size);
        ASSERT_TRUE(AddFiles(program, files.location(), {L"large.bin"}));
        ASSERT_TRUE(StartRun());
        const RunSeen seen = WatchTheRun();
        EXPECT_EQ(seen.unanswered, 0) << "of " << seen.probes << " probes";
        HWND done = WaitForDialog(program);
        ASSERT_NE(done, nullptr);
        EXPECT_EQ(ReadMessageBox(done).text, L"完成文件粉碎！");
        ASSERT_TRUE(Press(done, IDOK));
        ASSERT_TRUE(WaitUntilClosed(done));
        if (seen.lasted >= kLongEnoughToJudge) {
            EXPECT_GE(seen.positionsSeen, 2) << "the bar's value, read from outside, moved during the run";
            return;
        }
        size = GrownFor(size, std::chrono::duration<double>(seen.lasted).count(), files.location());
    }
    GTEST_SKIP() << "inconclusive: even the largest file was shredded too fast to judge the bar";
}

TEST_F(LiveWindowTest, ClearingTheListDuringARunLeavesItAsItWas) {
    files.writeSized(L"large.bin", kLargeFile);
    files.write(L"small.txt", "small");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"large.bin", L"small.txt"}));
    const auto listed = Entries(program);
    ASSERT_TRUE(StartRun());

    ::PostMessageW(program.control(layout::kCommand4), BM_CLICK, 0, 0);
    ASSERT_TRUE(Answers(program.window(), WM_NULL)) << "the click has been handled once this is answered";
    EXPECT_TRUE(DialogsOf(program).empty()) << "still running";
    EXPECT_EQ(Entries(program), listed);

    HWND done = WaitForDialog(program);
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(Press(done, IDOK));
}

TEST_F(LiveWindowTest, ClosingDuringARunAndAnsweringYesStopsAfterTheCurrentFile) {
    const auto [large, small, question] = CloseDuringARun();
    ASSERT_NE(question, nullptr);
    const MessageBoxView view = ReadMessageBox(question);
    EXPECT_EQ(view.caption, L"文件粉碎");
    EXPECT_EQ(view.text, L"粉碎尚未完成，要在当前文件粉碎完后停止吗？");
    EXPECT_EQ(view.buttons, (std::vector<int>{IDYES, IDNO}));
    ASSERT_TRUE(Press(question, IDYES));

    ASSERT_TRUE(WaitUntil([&] { return !std::filesystem::exists(large); }, std::chrono::minutes(2)));
    ASSERT_TRUE(WaitUntil([&] { return Entries(program) == EntriesFor({small}); }));
    ASSERT_TRUE(program.settle());
    EXPECT_TRUE(DialogsOf(program).empty()) << "no completion box after a stop";
    EXPECT_EQ(ReadAll(small), "small");
    EXPECT_TRUE(StartEnabled(program));
    EXPECT_TRUE(program.running());
}

TEST_F(LiveWindowTest, ClosingDuringARunAndAnsweringNoLetsItFinish) {
    const auto [large, small, question] = CloseDuringARun();
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(Press(question, IDNO));
    ASSERT_TRUE(WaitUntilClosed(question));

    HWND done = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (done = WaitForDialog(program)) != nullptr; }, std::chrono::minutes(2)));
    EXPECT_EQ(ReadMessageBox(done).text, L"完成文件粉碎！");
    EXPECT_FALSE(std::filesystem::exists(large));
    EXPECT_FALSE(std::filesystem::exists(small));
    EXPECT_TRUE(Press(done, IDOK));
    EXPECT_TRUE(program.running());
}

TEST_F(LiveWindowTest, TheSessionCannotEndDuringARunAndMayAfterIt) {
    const auto large = files.writeSized(L"large.bin", kLargeFile);
    ASSERT_TRUE(AddFiles(program, files.location(), {L"large.bin"}));
    ASSERT_TRUE(StartRun());
    EXPECT_EQ(host::EndSession(), false) << "the window refused";
    EXPECT_TRUE(program.running());

    HWND done = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (done = WaitForDialog(program)) != nullptr; }, std::chrono::minutes(2)));
    EXPECT_EQ(ReadMessageBox(done).text, L"完成文件粉碎！") << "the run went on";
    EXPECT_FALSE(std::filesystem::exists(large));
    ASSERT_TRUE(Press(done, IDOK));
    ASSERT_TRUE(WaitUntilClosed(done));

    EXPECT_EQ(host::EndSession(), true);
    EXPECT_TRUE(program.waitForExit(kPatience)) << "the program ends with the session";
}

TEST_F(LiveWindowTest, WhenTheSessionEndsAnywayTheRunFinishesItsCurrentFileFirst) {
    const auto large = files.writeSized(L"large.bin", kLargeFile);
    const auto small = files.write(L"small.txt", "small");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"large.bin", L"small.txt"}));
    ASSERT_TRUE(StartRun());
    // A stop asked before the first file is opened rightly leaves every file alone: the bar
    // moving says the large file is under way.
    WaitUntil([&] { return BarPosition(program) > 0 || !DialogsOf(program).empty(); });
    if (!DialogsOf(program).empty()) GTEST_SKIP() << "inconclusive: the run ended before the session did";
    // What the system sends once the session ends whatever the window said.
    const auto told = Clock::now();
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(program.window(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL,
                                      static_cast<UINT>(kPatience.count()), &ignored));
    const auto answered = Clock::now() - told;
    if (std::filesystem::exists(large)) {
        EXPECT_GE(answered, std::chrono::seconds(3)) << "the answer came before the current file was done";
    }
    ASSERT_TRUE(program.waitForExit(std::chrono::minutes(2)));
    EXPECT_FALSE(std::filesystem::exists(large));
    if (!std::filesystem::exists(small)) GTEST_SKIP() << "inconclusive: the run had ended before the session did";
    EXPECT_EQ(ReadAll(small), "small") << "no file after the current one was touched";
}

TEST_F(LiveWindowTest, ClosingDuringTheWalkOfALargeTreeEndsTheProgramPromptly) {
    // What any exit costs here (Wine's wait on each destroyed window without Managed = N, the
    // machine's load) is measured on an idle window, so only what the walk adds is judged.
    Clock::duration idleExit{};
    {
        const Program idle;
        const auto closed = Clock::now();
        ::PostMessageW(idle.window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(idle.waitForExit(std::chrono::seconds(15)));
        idleExit = Clock::now() - closed;
    }
    // The system's own /usr: a tree far larger than a test would make, and one a walk only reads.
    const Drop drop(program, {std::filesystem::path(L"Z:\\usr")});
    ASSERT_TRUE(drop.posted());
    ASSERT_TRUE(Answers(program.window(), WM_NULL)) << "the window answers while it walks";
    const auto closed = Clock::now();
    ::PostMessageW(program.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.waitForExit(std::chrono::seconds(15)));
    EXPECT_LT(Clock::now() - closed, idleExit + std::chrono::seconds(1))
        << "an idle window took " << std::chrono::duration<double>(idleExit).count() << " s";
}

}  // namespace
}  // namespace shredder::testing
