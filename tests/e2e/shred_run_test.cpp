// The shred run: confirmation, overwrite and delete, the progress bar, completion and failure.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <set>

#include "app/layout.h"
#include "app/texts.h"
#include "driver/dialogs.h"
#include "platform/win32/windows_api.h"
#include "driver/program.h"
#include "driver/screen.h"
#include "tests/win32/temp_folder.h"
#include "driver/text.h"
#include "driver/wait.h"
#include "user_steps.h"
#include "window_test.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;
namespace texts = shredder::texts;

// Which of the system's icons the box shows, judged by its pixels; null for none.
LPCWSTR IconShown(const MessageBoxView& box) {
    if (!box.icon) return nullptr;
    LPCWSTR best = nullptr;
    double bestLikeness = 0.9;  // below this it is no icon the system draws
    for (LPCWSTR icon : {IDI_ERROR, IDI_QUESTION, IDI_WARNING, IDI_INFORMATION}) {
        const double likeness = IconLikeness(box.icon, icon);
        if (likeness > bestLikeness) {
            best = icon;
            bestLikeness = likeness;
        }
    }
    return best;
}

// A box's icon is drawn a moment after the box appears.
bool ShowsIcon(const MessageBoxView& box, LPCWSTR icon) {
    return WaitUntil([&] { return IconShown(box) == icon; }, 3s);
}

class ShredRunTest : public WindowTest {
protected:
    // Presses the start button and waits for the confirmation box.
    HWND StartRun() const {
        if (!Press(program.control(layout::kCommand3))) return nullptr;
        return WaitForDialog(program);
    }

    // Answers the box with `button` and waits until it is gone.
    static bool Answer(HWND box, int button) { return Press(box, button) && WaitUntilClosed(box); }
};

TEST_F(ShredRunTest, ConfirmationAsksWithAQuestion) {
    files.write(L"a.txt", "a");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt"}));
    HWND box = StartRun();
    ASSERT_NE(box, nullptr);
    const MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(view.caption, Wide(texts::kShredCaption));
    EXPECT_EQ(view.caption, L"文件粉碎");
    EXPECT_EQ(view.text, L"执行粉碎后将无法恢复，继续吗？");
    EXPECT_EQ(view.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_TRUE(ShowsIcon(view, IDI_QUESTION));
    EXPECT_EQ(::GetWindow(box, GW_OWNER), program.window());
    EXPECT_TRUE(Answer(box, IDCANCEL));
}

TEST_F(ShredRunTest, CancelChangesNothingOnDiskOrOnScreen) {
    const auto a = files.write(L"a.txt", "keep me");
    const auto b = files.write(L"b.txt", "and me");
    ::SetFileAttributesW(a.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt", L"b.txt"}));

    HWND box = StartRun();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Answer(box, IDCANCEL));
    ASSERT_TRUE(Drain(program));

    EXPECT_TRUE(DialogsOf(program).empty());
    EXPECT_EQ(ReadAll(a), "keep me");
    EXPECT_EQ(ReadAll(b), "and me");
    EXPECT_EQ(::GetFileAttributesW(a.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Entries(program), EntriesFor({a, b}));
    EXPECT_TRUE(StartEnabled(program));
    EXPECT_EQ(BarPosition(program), 0);
    EXPECT_EQ(BarRange(program), (std::pair<int, int>{0, 100}));
}

TEST_F(ShredRunTest, OkShredsEveryFileThenReportsCompletion) {
    const auto empty = files.write(L"empty.txt", "");
    const auto small = files.write(L"小文件 😀.txt", "secret");
    const auto hidden = files.write(L"hidden.txt", "hidden");
    const auto larger = files.writeSized(L"larger.bin", 1'000'001);
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    const auto kept = files.write(L"not listed.txt", "stays");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"empty.txt", L"小文件 😀.txt", L"hidden.txt", L"larger.bin"}));

    HWND confirmation = StartRun();
    ASSERT_NE(confirmation, nullptr);
    ASSERT_TRUE(Answer(confirmation, IDOK));

    HWND done = WaitForDialog(program);
    ASSERT_NE(done, nullptr);
    const MessageBoxView view = ReadMessageBox(done);
    EXPECT_EQ(view.caption, L"霁川文件粉碎机");
    EXPECT_EQ(view.text, L"完成文件粉碎！");
    EXPECT_EQ(view.buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(view.icon, nullptr);
    for (const auto& file : {empty, small, hidden, larger}) {
        EXPECT_FALSE(std::filesystem::exists(file)) << file.string();
    }
    EXPECT_EQ(ReadAll(kept), "stays");

    ASSERT_TRUE(Answer(done, IDOK));
    ASSERT_TRUE(Drain(program));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(StartEnabled(program));
    EXPECT_EQ(BarPosition(program), 0);
    EXPECT_EQ(BarRange(program), (std::pair<int, int>{0, 1'000'001})) << "the last file's length stays as the range";
    EXPECT_TRUE(DialogsOf(program).empty());
}

TEST_F(ShredRunTest, FolderTreeLosesItsFilesButKeepsItsFolders) {
    const auto tree = files.makeFolder(L"tree");
    files.write(L"tree/x.txt", "x");
    files.write(L"tree/sub/y.txt", "y");
    ASSERT_TRUE(AddFolder(program, tree));
    ASSERT_EQ(Entries(program).size(), 2u);

    ASSERT_TRUE(Answer(StartRun(), IDOK));
    HWND done = WaitForDialog(program);
    ASSERT_NE(done, nullptr);
    ASSERT_TRUE(Answer(done, IDOK));
    EXPECT_FALSE(std::filesystem::exists(tree / L"x.txt"));
    EXPECT_FALSE(std::filesystem::exists(tree / L"sub/y.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(tree / L"sub"));
}

TEST_F(ShredRunTest, FileInUseStopsTheRunWithAnErrorAndKeepsTheRest) {
    const auto a = files.write(L"a.txt", "first");
    const auto busy = files.write(L"busy 文件.txt", "in use");
    const auto c = files.write(L"c.txt", "third");
    ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt", L"busy 文件.txt", L"c.txt"}));
    {
        // Another program holds the file open and lets nobody else open it.
        const shredder::win32::unique_hfile holder(::CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        ASSERT_TRUE(Answer(StartRun(), IDOK));

        HWND error = WaitForDialog(program);
        ASSERT_NE(error, nullptr);
        const MessageBoxView view = ReadMessageBox(error);
        EXPECT_EQ(view.caption, L"文件粉碎");
        EXPECT_NE(view.text.find(Wide(texts::kShredFailed)), std::wstring::npos) << Utf8(view.text);
        EXPECT_NE(view.text.find(busy.wstring()), std::wstring::npos) << "names the file: " << Utf8(view.text);
        EXPECT_NE(view.text.find(L"另一个程序正在使用此文件，进程无法访问。"), std::wstring::npos)
            << "gives the reason: " << Utf8(view.text);
        EXPECT_EQ(view.buttons, (std::vector<int>{IDOK}));
        EXPECT_TRUE(ShowsIcon(view, IDI_ERROR));
        ASSERT_TRUE(Answer(error, IDOK));
        ASSERT_TRUE(program.settle());
        EXPECT_TRUE(DialogsOf(program).empty()) << "no completion box after a failure";
    }
    EXPECT_TRUE(program.running());
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_EQ(ReadAll(busy), "in use");
    EXPECT_EQ(ReadAll(c), "third");
    EXPECT_EQ(Entries(program), EntriesFor({busy, c}));
    EXPECT_TRUE(StartEnabled(program));
}

TEST_F(ShredRunTest, ProgressBarMovesDuringALargeFile) {
    constexpr std::uint64_t kSize = 400'000'000;  // 400 chunks of 1,000,000 bytes
    const auto large = files.writeSized(L"large.bin", kSize);
    ASSERT_TRUE(AddFiles(program, files.location(), {L"large.bin"}));
    HWND bar = program.control(layout::kJdt);

    ASSERT_TRUE(Answer(StartRun(), IDOK));
    // The bar's value, read from outside as another program would while the run works.
    std::set<DWORD_PTR> partial;
    HWND done = nullptr;
    WaitUntil(
        [&] {
            DWORD_PTR position = 0;
            if (::SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 500, &position) && position > 0 &&
                position < kSize) {
                partial.insert(position);
            }
            const auto dialogs = DialogsOf(program);
            done = dialogs.empty() ? nullptr : dialogs.front();
            return done != nullptr;
        },
        120s);
    ASSERT_NE(done, nullptr);
    EXPECT_GE(partial.size(), 2u) << "the bar was seen part-filled at two or more values";
    EXPECT_EQ(ReadMessageBox(done).text, L"完成文件粉碎！");
    EXPECT_FALSE(std::filesystem::exists(large));
    ASSERT_TRUE(Answer(done, IDOK));
    ASSERT_TRUE(Drain(program));
    EXPECT_EQ(BarPosition(program), 0);
    EXPECT_EQ(BarRange(program), (std::pair<int, int>{0, static_cast<int>(kSize)}));
}

}  // namespace
}  // namespace shredder::testing
