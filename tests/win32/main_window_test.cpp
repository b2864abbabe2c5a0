// The real window with its real controls, driven in-process through its messages. The services
// a user would answer (dialogs, message boxes, the shell, the skin) are fakes; files are real.
#include <gtest/gtest.h>

#include <chrono>
#include <new>

#include "app/layout.h"
#include "app/texts.h"
#include "app/win32/main_window.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <shlobj.h>

#include "tests/fakes/fake_controls.h"
#include "tests/win32/temp_folder.h"

namespace shredder::testing {
namespace {

using namespace shredder::win32;

using namespace std::string_literals;
namespace layout = shredder::layout;

// Builds a drop as the shell hands it over: a DROPFILES header followed by the wide paths.
HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
    std::wstring names;
    for (const std::string& path : paths) names += Widen(path) + L'\0';
    names += L'\0';
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(header + 1));
    ::GlobalUnlock(memory);
    return memory;
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

// An open dialog that runs out of memory on request, as anything that allocates can.
class ExhaustibleOpenFileDialog : public FakeOpenFileDialog {
public:
    bool failNext = false;
    OpenDialogAnswer askForFiles() override {
        if (std::exchange(failNext, false)) throw std::bad_alloc();
        return FakeOpenFileDialog::askForFiles();
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    TempFolder temp;
    ExhaustibleOpenFileDialog openDialog;
    FakeFolderBrowser folderBrowser;
    FakeMessageBox messages;
    FakeShell shell;
    FakeSkin skin;
    FakeBackgroundWork background;
    std::unique_ptr<app::MainWindow> window;

    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        create(messages);
    }

    // The real window and controls over the real file system; fakes for what a user answers.
    void create(MessageBox& messageBox) {
        app::WindowOptions options;
        options.instance = ::GetModuleHandleW(nullptr);
        options.cdlg = &openDialog;
        options.folderBrowser = &folderBrowser;
        options.messages = &messageBox;
        options.shell = &shell;
        options.skin = &skin;
        // The work a handler starts is done when the handler returns; the end-to-end suite
        // shows the real worker thread.
        options.background = &background;
        options.quitsMessageLoop = false;
        app::WindowFailure failure;
        window = app::MainWindow::Create(options, failure);
        if (!window) GTEST_SKIP() << "no window could be made (is there a display?): " << failure.step;
    }

    HWND control(int id) const { return window->control(id); }
    void click(int id) { ::SendMessageW(control(id), BM_CLICK, 0, 0); }
    void drop(const std::vector<std::string>& paths) {
        ::SendMessageW(window->handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }
    std::vector<std::string> listed() const {
        std::vector<std::string> entries;
        const HWND list = control(layout::kList1);
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(length));
            entries.push_back(Narrow(text));
        }
        return entries;
    }
    bool startEnabled() const { return ::IsWindowEnabled(control(layout::kCommand3)) != FALSE; }
};

TEST_F(MainWindowTest, ClientAreaAndControlsFollowTheLayoutAtTheScreensDpi) {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);

    RECT client{};
    ::GetClientRect(window->handle(), &client);
    EXPECT_EQ(client.right, layout::TwipsToPixels(layout::kClientWidthTwips, dpi));
    EXPECT_EQ(client.bottom, layout::TwipsToPixels(layout::kClientHeightTwips, dpi));
    if (dpi == 96) {
        EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(458L, 295L));
    }

    for (const layout::ControlLayout& c : layout::kControls) {
        const HWND child = control(c.id);
        ASSERT_TRUE(child) << c.name;
        EXPECT_EQ(::GetDlgCtrlID(child), c.id) << c.name;
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, window->handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, layout::TwipsToPixels(c.left, dpi)) << c.name;
        EXPECT_EQ(r.top, layout::TwipsToPixels(c.top, dpi)) << c.name;
        EXPECT_EQ(r.right - r.left, layout::TwipsToPixels(c.width, dpi)) << c.name;
        EXPECT_EQ(r.bottom - r.top, layout::TwipsToPixels(c.height, dpi)) << c.name;
        if (c.kind == layout::ControlKind::Button) {
            EXPECT_EQ(TextOf(child), c.caption);
        }
    }
}

TEST_F(MainWindowTest, ClassCaptionAndTabOrderAreAsTheTestsFromOutsideExpect) {
    wchar_t className[64]{};
    ::GetClassNameW(window->handle(), className, 64);
    EXPECT_STREQ(className, L"JichuanShredderForm");
    EXPECT_EQ(TextOf(window->handle()), "霁川文件粉碎机 v1.0    http://www.example.com");

    // Tab order is the layout's; a disabled button is passed over, so enable the start button.
    ::EnableWindow(control(layout::kCommand3), TRUE);
    std::vector<int> order;
    HWND at = control(layout::kCommand1);
    for (int i = 0; i < 6; ++i, at = ::GetNextDlgTabItem(window->handle(), at, FALSE)) order.push_back(::GetDlgCtrlID(at));
    EXPECT_EQ(order, (std::vector<int>{1001, 1002, 1003, 1004, 1005, 1006}));
}

TEST_F(MainWindowTest, StartsEmptyWithTheStartButtonDisabledTheBarAtZeroAndTheSkinAsked) {
    EXPECT_TRUE(listed().empty());
    EXPECT_FALSE(startEnabled());
    EXPECT_TRUE(::IsWindowEnabled(control(layout::kCommand1)));
    PBRANGE range{};
    ::SendMessageW(control(layout::kJdt), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(::SendMessageW(control(layout::kJdt), PBM_GETPOS, 0, 0), 0);
    ASSERT_EQ(skin.calls.size(), 1u);
    EXPECT_EQ(skin.calls[0].first, shell.folder + "/Aero.she");

    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control(layout::kList1), GWL_STYLE));
    EXPECT_TRUE(style & LBS_NOTIFY);
    EXPECT_FALSE(style & LBS_SORT);
    EXPECT_FALSE(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
}

TEST_F(MainWindowTest, FocusStartsOnTheAddFilesButton) {
    window->show(SW_SHOWNORMAL);
    EXPECT_EQ(::GetFocus(), control(layout::kCommand1));
}

TEST_F(MainWindowTest, AddFilesPutsTheChosenFilesInTheRealListAndEnablesStart) {
    openDialog.answer.fileName = "C:\\docs\0a.txt\0b.txt"s;
    click(layout::kCommand1);
    EXPECT_EQ(listed(), (std::vector<std::string>{"C:\\docs\\a.txt", "C:\\docs\\b.txt"}));
    EXPECT_TRUE(startEnabled());
}

TEST_F(MainWindowTest, ADisabledStartButtonCannotBeClickedFromOutside) {
    ::SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(layout::kCommand3, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control(layout::kCommand3)));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, DoubleClickRemovesTheSelectedEntryOnly) {
    openDialog.answer.fileName = "C:\\d\0a\0b\0c"s;
    click(layout::kCommand1);
    const HWND list = control(layout::kList1);
    ::SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(layout::kList1, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(listed().size(), 3u);  // nothing selected: nothing removed
    ::SendMessageW(list, LB_SETCURSEL, 1, 0);
    ::SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(layout::kList1, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(listed(), (std::vector<std::string>{"C:\\d\\a", "C:\\d\\c"}));
}

TEST_F(MainWindowTest, ClearAndExitReachTheirHandlers) {
    openDialog.answer.fileName = "C:\\x.txt";
    click(layout::kCommand1);
    click(layout::kCommand4);
    EXPECT_TRUE(listed().empty());
    EXPECT_TRUE(startEnabled());

    click(layout::kCommand5);
    EXPECT_EQ(shell.pagesOpened, std::vector<std::string>{"http://www.example.com"});
    EXPECT_TRUE(shell.ended);
}

TEST_F(MainWindowTest, DroppedFilesAndFoldersAreAddedInDropOrder) {
    // Paths of any length and script, as the shell hands them over.
    std::string deep = temp / std::string(120, 'd');
    MakeFolder(deep);
    deep += "\\" + std::string(120, 'e');
    MakeFolder(deep);
    const std::string longFile = deep + "\\" + std::string(60, 'f') + "-😀.txt";
    WriteTestFile(longFile, "x");
    MakeFolder(temp / "文件夹");
    WriteTestFile(temp / "文件夹\\한국어.txt", "x");
    WriteTestFile(temp / "文件夹\\hidden.txt", "x");
    SetAttributes(temp / "文件夹\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    WriteTestFile(temp / "日本語.txt", "x");

    drop({temp / "日本語.txt", temp / "文件夹", longFile, temp / "gone.txt"});

    EXPECT_EQ(listed(), (std::vector<std::string>{temp / "日本語.txt", temp / "文件夹\\한국어.txt", longFile}));
    EXPECT_GT(longFile.size(), 260u);
    EXPECT_TRUE(startEnabled());
}

TEST_F(MainWindowTest, ADropOfNothingUsableLeavesTheStartButtonAlone) {
    drop({temp / "missing.txt"});
    EXPECT_TRUE(listed().empty());
    EXPECT_FALSE(startEnabled());
}

// Drops the file onto the window while the confirmation box of a run is up.
class DroppingMessageBox : public FakeMessageBox {
public:
    std::function<void()> whileShown;
    MessageResult show(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon icon) override {
        if (whileShown) std::exchange(whileShown, nullptr)();
        return FakeMessageBox::show(text, caption, buttons, icon);
    }
};

TEST_F(MainWindowTest, ADropDuringAShredRunIsTakenAfterTheRun) {
    DroppingMessageBox dropping;
    create(dropping);

    WriteTestFile(temp / "first.txt", "secret");
    WriteTestFile(temp / "later.txt", "secret");
    openDialog.answer.fileName = temp / "first.txt";
    click(layout::kCommand1);
    dropping.whileShown = [&] { drop({temp / "later.txt"}); };

    click(layout::kCommand3);

    EXPECT_FALSE(Exists(temp / "first.txt"));
    EXPECT_TRUE(Exists(temp / "later.txt"));
    EXPECT_EQ(listed(), (std::vector<std::string>{temp / "later.txt"}));
    EXPECT_TRUE(startEnabled());  // the drop came after the run disabled it
}

TEST_F(MainWindowTest, WorkThatCannotStartIsReportedAndTheButtonsStayUsable) {
    WriteTestFile(temp / "a.txt", "secret");
    openDialog.answer.fileName = temp / "a.txt";
    click(layout::kCommand1);
    background.refuse = true;
    click(layout::kCommand3);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().icon, MessageIcon::Error);
    EXPECT_TRUE(::IsWindowEnabled(control(layout::kCommand4)));
    click(layout::kCommand4);
    EXPECT_TRUE(listed().empty());
}

const std::string kOutOfMemoryReport = std::string(texts::kOperationFailed) + "\n" + texts::kOutOfMemory;

TEST_F(MainWindowTest, AHandlerRunningOutOfMemoryIsReportedAndTheWindowKeepsWorking) {
    WriteTestFile(temp / "a.txt", "x");
    WriteTestFile(temp / "b.txt", "x");
    openDialog.failNext = true;
    click(layout::kCommand1);

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kOutOfMemoryReport);
    EXPECT_EQ(messages.shown[0].caption, "霁川文件粉碎机");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);

    // The next click and the next drop are handled as if nothing had happened.
    openDialog.answer.fileName = temp / "a.txt";
    click(layout::kCommand1);
    drop({temp / "b.txt"});
    EXPECT_EQ(listed(), (std::vector<std::string>{temp / "a.txt", temp / "b.txt"}));
    EXPECT_EQ(messages.shown.size(), 1u);
}

// Makes the real list box refuse every entry beyond the first `room`, as a full one does.
class FullListBox {
public:
    FullListBox(HWND list, LRESULT refusal, int room) : list_(list), refusal_(refusal), room_(room) {
        ::SetWindowSubclass(list_, Refuse, kId, reinterpret_cast<DWORD_PTR>(this));
    }
    ~FullListBox() { ::RemoveWindowSubclass(list_, Refuse, kId); }
    FullListBox(const FullListBox&) = delete;
    FullListBox& operator=(const FullListBox&) = delete;

private:
    static constexpr UINT_PTR kId = 1;
    static LRESULT CALLBACK Refuse(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<FullListBox*>(data);
        if (message == LB_ADDSTRING && ::SendMessageW(window, LB_GETCOUNT, 0, 0) >= self->room_) return self->refusal_;
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    HWND list_;
    LRESULT refusal_;
    int room_;
};

TEST_F(MainWindowTest, AnEntryTheListRefusesIsReportedAndTheListKeepsWhatItTook) {
    const std::string listRefused = std::string(texts::kOperationFailed) + "\n" + texts::kListRefusedEntry;
    for (const LRESULT refusal : {LRESULT{LB_ERRSPACE}, LRESULT{LB_ERR}}) {
        SCOPED_TRACE(refusal);
        click(layout::kCommand4);
        messages.shown.clear();
        {
            const FullListBox full(control(layout::kList1), refusal, 2);
            openDialog.answer.fileName = "C:\\d\0a\0b\0c\0d"s;
            click(layout::kCommand1);
        }
        EXPECT_EQ(listed(), (std::vector<std::string>{"C:\\d\\a", "C:\\d\\b"}));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, listRefused);
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
    }
}

}  // namespace
}  // namespace shredder::testing
