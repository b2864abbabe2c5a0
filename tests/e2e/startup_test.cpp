// What the user sees when the program has just started.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>

#include "app/layout.h"
#include "app/texts.h"
#include "driver/program.h"
#include "tests/win32/temp_folder.h"
#include "driver/text.h"
#include "driver/wait.h"
#include "driver/window_text.h"
#include "user_steps.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;
namespace texts = shredder::texts;

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

HWND Focused(const Program& program) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(program.threadId(), &info) ? info.hwndFocus : nullptr;
}

std::wstring ExpectedClass(layout::ControlKind kind) {
    switch (kind) {
        case layout::ControlKind::Button: return L"Button";
        case layout::ControlKind::ListBox: return L"ListBox";
        case layout::ControlKind::ProgressBar: return PROGRESS_CLASSW;
    }
    return {};
}

// The state every fresh window shows, whichever skin file it found.
void ExpectFreshWindow(const Program& program) {
    EXPECT_EQ(TextOf(program.window()), Wide(texts::kWindowCaption));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(StartEnabled(program));
    for (int id : {layout::kCommand1, layout::kCommand2, layout::kCommand4, layout::kCommand5, layout::kList1}) {
        EXPECT_TRUE(::IsWindowEnabled(program.control(id))) << id;
    }
    // The focus lands once the window is activated, just after it shows.
    EXPECT_TRUE(WaitUntil([&] { return Focused(program) == program.control(layout::kCommand1); }));
}

TEST(StartUp, CaptionIsTheTitleFourSpacesAndTheAddress) {
    const Program program;
    EXPECT_EQ(TextOf(program.window()), L"霁川文件粉碎机 v1.0    http://www.example.com");
}

TEST(StartUp, ClientAreaIs458By295PixelsAt96Dpi) {
    ASSERT_EQ(ScreenDpi(), 96) << "the test display should run at 96 DPI";
    const Program program;
    RECT client{};
    ::GetClientRect(program.window(), &client);
    EXPECT_EQ(client.right - client.left, 458);
    EXPECT_EQ(client.bottom - client.top, 295);
    EXPECT_EQ(layout::TwipsToPixels(layout::kClientWidthTwips, 96), 458);
    EXPECT_EQ(layout::TwipsToPixels(layout::kClientHeightTwips, 96), 295);
}

TEST(StartUp, WindowIsAnOrdinaryResizableWindowWithMinimizeAndMaximize) {
    const Program program;
    const auto style = static_cast<DWORD>(::GetWindowLongW(program.window(), GWL_STYLE));
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_TRUE(::IsWindowVisible(program.window()));
}

TEST(StartUp, EachControlHasItsCaptionPlaceAndSize) {
    const int dpi = ScreenDpi();
    const Program program;
    for (const auto& expected : layout::kControls) {
        SCOPED_TRACE(expected.name);
        HWND control = program.control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(::IsWindowVisible(control));
        EXPECT_EQ(ClassOf(control), ExpectedClass(expected.kind));
        if (expected.kind == layout::ControlKind::Button) {
            EXPECT_EQ(TextOf(control), Wide(expected.caption));
        }
        const RECT rect = RectIn(control, program.window());
        EXPECT_EQ(rect.left, layout::TwipsToPixels(expected.left, dpi));
        EXPECT_EQ(rect.top, layout::TwipsToPixels(expected.top, dpi));
        EXPECT_EQ(rect.right - rect.left, layout::TwipsToPixels(expected.width, dpi));
        EXPECT_EQ(rect.bottom - rect.top, layout::TwipsToPixels(expected.height, dpi));
    }
}

TEST(StartUp, ButtonsReadAsTheUserExpects) {
    const Program program;
    EXPECT_EQ(TextOf(program.control(layout::kCommand1)), L"添加文件");
    EXPECT_EQ(TextOf(program.control(layout::kCommand2)), L"添加目录");
    EXPECT_EQ(TextOf(program.control(layout::kCommand3)), L"开始粉碎");
    EXPECT_EQ(TextOf(program.control(layout::kCommand4)), L"清空列表");
    EXPECT_EQ(TextOf(program.control(layout::kCommand5)), L"退出系统");
}

TEST(StartUp, ControlsStandInTabOrder) {
    const Program program;
    std::vector<int> order;
    for (HWND child : ChildrenOf(program.window())) order.push_back(::GetDlgCtrlID(child));
    EXPECT_EQ(order, (std::vector<int>{1001, 1002, 1003, 1004, 1005, 1006, 1007}));
    for (int id : {layout::kCommand1, layout::kCommand2, layout::kCommand3, layout::kCommand4, layout::kList1,
                   layout::kCommand5}) {
        EXPECT_TRUE(::GetWindowLongW(program.control(id), GWL_STYLE) & WS_TABSTOP) << id;
    }
}

TEST(StartUp, FocusStartsOnAddFilesAndTabWalksTheControls) {
    const Program program;
    ASSERT_TRUE(WaitUntil([&] { return Focused(program) == program.control(layout::kCommand1); }));
    // The disabled start button is passed over, as in any dialog.
    for (int next : {layout::kCommand2, layout::kCommand4, layout::kList1, layout::kCommand5, layout::kCommand1}) {
        HWND from = Focused(program);
        ::PostMessageW(from, WM_KEYDOWN, VK_TAB, 0);
        ::PostMessageW(from, WM_KEYUP, VK_TAB, 0);
        EXPECT_TRUE(WaitUntil([&] { return Focused(program) == program.control(next); })) << "expected " << next;
    }
}

TEST(StartUp, ListIsEmptyStartIsDisabledBarIsAtZeroOf100) {
    const Program program;
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(StartEnabled(program));
    EXPECT_EQ(BarPosition(program), 0);
    EXPECT_EQ(BarRange(program), (std::pair<int, int>{0, 100}));
    const auto listStyle = static_cast<DWORD>(::GetWindowLongW(program.control(layout::kList1), GWL_STYLE));
    EXPECT_FALSE(listStyle & LBS_SORT) << "entries stay in the order added";
    EXPECT_FALSE(listStyle & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) << "one entry selected at a time";
}

TEST(StartUp, WithTheSkinFileBesideTheProgram) {
    ASSERT_TRUE(std::filesystem::exists(BuiltProgram().parent_path() / L"Aero.she"));
    const Program program;
    ExpectFreshWindow(program);
}

TEST(StartUp, WithoutTheSkinFile) {
    const TempFolder folder;
    const auto copy = folder.location() / BuiltProgram().filename();
    std::filesystem::copy_file(BuiltProgram(), copy);
    ASSERT_FALSE(std::filesystem::exists(folder.location() / L"Aero.she"));
    const Program program(copy);
    ExpectFreshWindow(program);
}

TEST(StartUp, WithAMalformedSkinFile) {
    const TempFolder folder;
    const auto copy = folder.location() / BuiltProgram().filename();
    std::filesystem::copy_file(BuiltProgram(), copy);
    folder.write(L"Aero.she", std::string("\x00\xff not a skin = = =\n[[[", 24));
    const Program program(copy);
    ExpectFreshWindow(program);
}

}  // namespace
}  // namespace shredder::testing
