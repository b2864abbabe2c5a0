#include "user_steps.h"

#include <commctrl.h>

#include "app/layout.h"
#include "driver/dialogs.h"
#include "driver/folder_browser.h"
#include "driver/open_dialog.h"
#include "driver/wait.h"
#include "driver/window_text.h"

namespace shredder::testing {
namespace layout = shredder::layout;

namespace {

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(kPatience.count()), &answer);
    return static_cast<LRESULT>(answer);
}

}  // namespace

HWND Control(const Program& program, int id) { return program.control(id); }

std::vector<std::wstring> Entries(const Program& program) { return ListEntries(program.control(layout::kList1)); }

bool StartEnabled(const Program& program) { return ::IsWindowEnabled(program.control(layout::kCommand3)) != FALSE; }

int BarPosition(const Program& program) { return static_cast<int>(Ask(program.control(layout::kJdt), PBM_GETPOS)); }

std::pair<int, int> BarRange(const Program& program) {
    HWND bar = program.control(layout::kJdt);
    return {static_cast<int>(Ask(bar, PBM_GETRANGE, TRUE)), static_cast<int>(Ask(bar, PBM_GETRANGE, FALSE))};
}

bool Drain(const Program& program) {
    // Posted messages are taken in order: once a marker posted now has arrived, so has all
    // before it. The marker is the bar's step size, which the program never uses.
    HWND bar = program.control(layout::kJdt);
    static int marker = 1000;
    const int token = ++marker;
    const LRESULT previous = Ask(bar, PBM_GETSTEP);
    if (!::PostMessageW(bar, PBM_SETSTEP, static_cast<WPARAM>(token), 0)) return false;
    const bool arrived = WaitUntil([&] { return Ask(bar, PBM_GETSTEP) == token; });
    ::PostMessageW(bar, PBM_SETSTEP, static_cast<WPARAM>(previous), 0);
    return arrived;
}

bool WaitUntilIdle(const Program& program) {
    return Drain(program) && WaitUntil([&] { return ::IsWindowEnabled(program.control(layout::kCommand1)) != FALSE; });
}

bool ListShows(const Program& program, const std::vector<std::wstring>& expected) {
    return WaitUntil([&] { return Entries(program) == expected; });
}

bool AddFiles(const Program& program, const std::filesystem::path& folder, const std::vector<std::wstring>& names) {
    if (!Press(program.control(layout::kCommand1))) return false;
    const OpenDialog dialog(program);
    return dialog && dialog.goTo(folder) && dialog.choose(names) && Drain(program);
}

bool AddFolder(const Program& program, const std::filesystem::path& folder) {
    if (!Press(program.control(layout::kCommand2))) return false;
    FolderBrowser browser(program);
    return browser && browser.choose(folder) && WaitUntilIdle(program);
}

bool CancelAddFiles(const Program& program) {
    if (!Press(program.control(layout::kCommand1))) return false;
    const OpenDialog dialog(program);
    return dialog && dialog.cancel() && Drain(program);
}

bool CancelAddFolder(const Program& program) {
    if (!Press(program.control(layout::kCommand2))) return false;
    const FolderBrowser browser(program);
    return browser && browser.cancel() && WaitUntilIdle(program);
}

HWND WaitForBoxAfter(const Program& program, HWND after, std::chrono::milliseconds patience) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const auto dialogs = DialogsOf(program);
            found = dialogs.empty() || dialogs.front() == after ? nullptr : dialogs.front();
            return found != nullptr;
        },
        patience);
    return found;
}

std::vector<std::wstring> EntriesFor(const std::vector<std::filesystem::path>& files) {
    std::vector<std::wstring> entries;
    for (const auto& file : files) entries.push_back(file.wstring());
    return entries;
}

}  // namespace shredder::testing
