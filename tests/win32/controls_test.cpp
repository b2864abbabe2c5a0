// The control adapters over real controls (list box, progress bar, skin), without the form.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/win32/utf.h"
#include "platform/win32/win32_list_box.h"
#include "platform/win32/win32_progress_bar.h"
#include "platform/win32/win32_skin.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include "tests/win32/temp_folder.h"

namespace shredder::win32::testing {
namespace {

class ControlsTest : public ::testing::Test {
protected:
    HWND parent = nullptr;

    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        parent = ::CreateWindowExW(0, WC_STATICW, L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                   nullptr, nullptr);
        if (!parent) GTEST_SKIP() << "no window could be made (is there a display?)";
    }
    void TearDown() override {
        if (parent) ::DestroyWindow(parent);
    }
    HWND child(const wchar_t* windowClass, DWORD style) {
        return ::CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 300, 200, parent, nullptr,
                                 nullptr, nullptr);
    }
};

TEST_F(ControlsTest, ListBoxKeepsOrderDuplicatesAndEveryScript) {
    Win32ListBox list(child(WC_LISTBOXW, LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL | WS_HSCROLL));
    for (const char* path : {"C:\\b.txt", "C:\\a.txt", "C:\\b.txt", "D:\\😀\\日本語\\한국어.txt"}) list.append(path);
    EXPECT_EQ(list.count(), 4u);
    EXPECT_EQ(list.at(0), "C:\\b.txt");
    EXPECT_EQ(list.at(1), "C:\\a.txt");
    EXPECT_EQ(list.at(3), "D:\\😀\\日本語\\한국어.txt");
    EXPECT_FALSE(list.selectedIndex());
    list.removeAt(0);
    EXPECT_EQ(list.at(0), "C:\\a.txt");
    list.clear();
    EXPECT_EQ(list.count(), 0u);
}

TEST_F(ControlsTest, ListBoxTakesAHundredThousandEntriesInABatchQuickly) {
    Win32ListBox list(child(WC_LISTBOXW, LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL | WS_HSCROLL));
    const auto start = std::chrono::steady_clock::now();
    {
        const ListBatch outer(list);
        const ListBatch nested(list);  // batches nest: redraw resumes only at the outermost end
        for (int i = 0; i < 100'000; ++i) list.append("C:\\walk\\folder" + std::to_string(i / 10) + "\\file" + std::to_string(i) + ".txt");
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(list.count(), 100'000u);
    EXPECT_EQ(list.at(40'000), "C:\\walk\\folder4000\\file40000.txt");
    EXPECT_EQ(list.at(99'999), "C:\\walk\\folder9999\\file99999.txt");
    EXPECT_LT(seconds, 2.0);
    RecordProperty("seconds", std::to_string(seconds));
}

TEST_F(ControlsTest, ProgressBarShowsTheRunsFloatsOnTheControl) {
    const HWND control = child(PROGRESS_CLASSW, 0);
    Win32ProgressBar bar(control);
    PBRANGE range{};
    ::SendMessageW(control, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iHigh, 100);

    bar.setMax(3'000'000.0f);
    bar.setMin(0.0f);
    bar.setValue(bar.value() + 1'000'000.0f);
    EXPECT_EQ(bar.value(), 1'000'000.0f);
    EXPECT_EQ(::SendMessageW(control, PBM_GETPOS, 0, 0), 1'000'000);

    // Five gigabytes: the control's int range is scaled, the fraction kept.
    bar.setMax(5.0e9f);
    bar.setValue(2.5e9f);
    EXPECT_EQ(bar.value(), 2.5e9f);
    ::SendMessageW(control, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const auto position = ::SendMessageW(control, PBM_GETPOS, 0, 0);
    EXPECT_NEAR(static_cast<double>(position) / range.iHigh, 0.5, 1e-6);
}

class SkinTest : public ControlsTest {
protected:
    TempFolder temp;
    HWND list = nullptr;
    void SetUp() override {
        ControlsTest::SetUp();
        if (parent) list = child(WC_LISTBOXW, LBS_HASSTRINGS);
    }
    HFONT fontOfList() const { return reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)); }
    LOGFONTW logFontOfList() const {
        LOGFONTW font{};
        ::GetObjectW(fontOfList(), sizeof(font), &font);
        return font;
    }
};

TEST_F(SkinTest, AGoodSkinColoursTheListAndSetsTheFont) {
    WriteTestFile(temp / "Aero.she", "list-background = #102030\ntext = #405060\nfont = Tahoma\nfont-size = 12\n");
    Win32Skin skin(parent);
    EXPECT_EQ(skin.SkinH_AttachEx(temp.path() + "/Aero.she", ""), 0);

    const HDC dc = ::GetDC(list);
    const auto brush = skin.controlColours(WM_CTLCOLORLISTBOX, dc);
    ASSERT_TRUE(brush);
    EXPECT_EQ(::GetBkColor(dc), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(::GetTextColor(dc), RGB(0x40, 0x50, 0x60));
    ::ReleaseDC(list, dc);
    LOGBRUSH logBrush{};
    ::GetObjectW(reinterpret_cast<HBRUSH>(*brush), sizeof(logBrush), &logBrush);
    EXPECT_EQ(logBrush.lbColor, RGB(0x10, 0x20, 0x30));

    EXPECT_STREQ(logFontOfList().lfFaceName, L"Tahoma");
    EXPECT_LT(logFontOfList().lfHeight, 0);
}

TEST_F(SkinTest, AMissingOrMalformedSkinChangesNothing) {
    const HFONT before = fontOfList();
    WriteTestFile(temp / "bad.she", "list-background = #102030\nthis is not a setting\n");
    Win32Skin skin(parent);
    EXPECT_NE(skin.SkinH_AttachEx(temp.path() + "/missing.she", ""), 0);
    EXPECT_NE(skin.SkinH_AttachEx(temp.path() + "/bad.she", ""), 0);
    const HDC dc = ::GetDC(list);
    EXPECT_FALSE(skin.controlColours(WM_CTLCOLORLISTBOX, dc));
    EXPECT_FALSE(skin.eraseBackground(dc));
    ::ReleaseDC(list, dc);
    EXPECT_EQ(fontOfList(), before);
}

}  // namespace
}  // namespace shredder::win32::testing
