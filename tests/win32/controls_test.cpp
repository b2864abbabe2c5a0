// The control adapters over real controls (list box, progress bar, skin) and a recording taskbar
// list, without the form, and the run's float Min/Max/Value on the progress control's int range.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <climits>
#include <string>
#include <vector>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_skin.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include "tests/win32/temp_folder.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

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
    // The last: a name NTFS allows that is not valid UTF-16, shown and read back as itself.
    const std::string unpaired = Narrow(L"E:\\a\xD800.txt");
    for (const std::string path : {"C:\\b.txt", "C:\\a.txt", "C:\\b.txt", "D:\\😀\\日本語\\한국어.txt", unpaired.c_str()}) {
        list.append(path);
    }
    EXPECT_EQ(list.count(), 5u);
    EXPECT_EQ(list.at(4), unpaired);
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

TEST(ProgressRange, TheStartingBarIsZeroOfZeroToHundred) {
    const ControlRange r = ToControlRange(0.0f, 100.0f, 0.0f);
    EXPECT_EQ(r.low, 0);
    EXPECT_EQ(r.high, 100);
    EXPECT_EQ(r.position, 0);
}

TEST(ProgressRange, ValuesWithinIntArePassedOnExactly) {
    const ControlRange r = ToControlRange(0.0f, 3'000'000.0f, 2'000'000.0f);
    EXPECT_EQ(r.high, 3'000'000);
    EXPECT_EQ(r.position, 2'000'000);
}

TEST(ProgressRange, FilesOfManyGigabytesAreScaledKeepingTheFraction) {
    const float max = 6.0e9f;  // beyond INT_MAX
    const ControlRange half = ToControlRange(0.0f, max, max / 2);
    EXPECT_EQ(half.low, 0);
    EXPECT_EQ(half.high, INT_MAX);
    EXPECT_NEAR(half.position, INT_MAX / 2, 2);

    const ControlRange full = ToControlRange(0.0f, max, max);
    EXPECT_EQ(full.position, full.high);
}

TEST(ProgressRange, TheBarNeverLeavesItsRange) {
    EXPECT_EQ(ToControlRange(0.0f, 100.0f, 250.0f).position, 100);
    EXPECT_EQ(ToControlRange(0.0f, 100.0f, -5.0f).position, 0);
    EXPECT_EQ(ToControlRange(0.0f, 1e30f, 1e30f).position, INT_MAX);
}

TEST(ProgressRange, NotANumberCountsAsZero) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ToControlRange(0.0f, 100.0f, nan).position, 0);
    EXPECT_EQ(ToControlRange(0.0f, nan, 0.0f).high, 0);
}

TEST(ProgressRange, MaxSetBeforeMinDoesNotBreakTheRange) {
    // The run sets Max to the file's length first, while Min may still be larger.
    const ControlRange r = ToControlRange(50.0f, 10.0f, 0.0f);
    EXPECT_GE(r.position, 10);
    EXPECT_LE(r.position, 50);
}

// The shell's taskbar list as the adapter calls it, recording the calls that show something.
class RecordingTaskbarList final : public ITaskbarList3 {
public:
    std::vector<std::string> calls;
    bool refuseInit = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE HrInit() override { return refuseInit ? E_FAIL : S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override {
        calls.push_back("value " + std::to_string(done) + "/" + std::to_string(total));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) override {
        calls.push_back("state " + std::to_string(static_cast<int>(state)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return S_OK; }

    ULONG references() const { return references_; }

private:
    ULONG references_ = 1;
};

TEST(TaskbarButton, ShowsTheRunThenTheErrorThenNothingAndSendsAStateOnlyWhenItChanges) {
    RecordingTaskbarList list;
    {
        Win32TaskbarButton button(nullptr);
        button.showProgress(1, 4);  // before the shell said the button exists: nothing to call
        list.AddRef();
        button.attach(unique_taskbar_list(&list));
        button.showProgress(1, 4);
        button.showProgress(3, 4);
        button.showError();
        button.clear();
        const std::string normal = std::to_string(TBPF_NORMAL), error = std::to_string(TBPF_ERROR),
                          none = std::to_string(TBPF_NOPROGRESS);
        EXPECT_EQ(list.calls, (std::vector<std::string>{"state " + normal, "value 1/4", "value 3/4", "state " + error,
                                                        "state " + none}));
    }
    EXPECT_EQ(list.references(), 1u) << "the adapter released what it held";
}

TEST(TaskbarButton, AShellThatRefusesToStartIsLeftAlone) {
    RecordingTaskbarList list;
    list.refuseInit = true;
    Win32TaskbarButton button(nullptr);
    list.AddRef();
    button.attach(unique_taskbar_list(&list));
    button.showProgress(1, 2);
    button.showError();
    EXPECT_TRUE(list.calls.empty());
    EXPECT_EQ(list.references(), 1u);
}

}  // namespace
}  // namespace shredder::testing
