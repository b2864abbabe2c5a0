// Removing entries, clearing the list, and the start button on an empty list.
#include <gtest/gtest.h>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/mouse.h"
#include "driver/program.h"
#include "tests/win32/temp_folder.h"
#include "driver/wait.h"
#include "user_steps.h"
#include "window_test.h"

namespace shredder::testing {
namespace {
namespace layout = shredder::layout;

class ListEditTest : public WindowTest {
protected:
    void SetUp() override {
        a = files.write(L"a.txt", "a");
        b = files.write(L"b.txt", "b");
        c = files.write(L"c.txt", "c");
        ASSERT_TRUE(AddFiles(program, files.location(), {L"a.txt", L"b.txt", L"c.txt"}));
        ASSERT_EQ(Entries(program), EntriesFor({a, b, c}));
    }

    POINT MiddleOfEntry(int index) const {
        RECT item{};
        ::SendMessageW(program.control(layout::kList1), LB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item));
        return POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    }

    std::filesystem::path a, b, c;
};

TEST_F(ListEditTest, DoubleClickRemovesExactlyThatEntry) {
    ASSERT_TRUE(DoubleClick(program.control(layout::kList1), MiddleOfEntry(1)));
    EXPECT_TRUE(WaitUntil([&] { return Entries(program).size() == 2; }));
    EXPECT_EQ(Entries(program), EntriesFor({a, c}));
    EXPECT_TRUE(StartEnabled(program));
    EXPECT_TRUE(std::filesystem::exists(b)) << "removing an entry leaves the file alone";

    ASSERT_TRUE(DoubleClick(program.control(layout::kList1), MiddleOfEntry(1)));
    EXPECT_TRUE(WaitUntil([&] { return Entries(program).size() == 1; }));
    EXPECT_EQ(Entries(program), EntriesFor({a}));
}

TEST_F(ListEditTest, DoubleClickWithNothingSelectedRemovesNothing) {
    HWND list = program.control(layout::kList1);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ::PostMessageW(program.window(), WM_COMMAND, MAKEWPARAM(layout::kList1, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(Drain(program));
    EXPECT_EQ(Entries(program), EntriesFor({a, b, c}));
    EXPECT_TRUE(program.running());
}

TEST_F(ListEditTest, ClearEmptiesTheListAndKeepsStartEnabled) {
    ASSERT_TRUE(Press(program.control(layout::kCommand4)));
    EXPECT_TRUE(WaitUntil([&] { return Entries(program).empty(); }));
    ASSERT_TRUE(Drain(program));
    EXPECT_TRUE(StartEnabled(program));
    EXPECT_TRUE(std::filesystem::exists(a) && std::filesystem::exists(b) && std::filesystem::exists(c));
}

TEST_F(ListEditTest, StartOnAnEmptyListShowsNothing) {
    ASSERT_TRUE(Press(program.control(layout::kCommand4)));
    ASSERT_TRUE(WaitUntil([&] { return Entries(program).empty(); }));
    ASSERT_TRUE(Press(program.control(layout::kCommand3)));
    ASSERT_TRUE(Drain(program));
    EXPECT_TRUE(DialogsOf(program).empty()) << "no confirmation for nothing to shred";
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_TRUE(StartEnabled(program));
}

TEST(ListEdit, ClearOnAFreshWindowKeepsStartDisabled) {
    const Program program;
    ASSERT_TRUE(Press(program.control(layout::kCommand4)));
    ASSERT_TRUE(Drain(program));
    EXPECT_TRUE(Entries(program).empty());
    EXPECT_FALSE(StartEnabled(program));
}

}  // namespace
}  // namespace shredder::testing
