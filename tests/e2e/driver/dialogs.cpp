#include "driver/dialogs.h"

#include <algorithm>

#include "driver/wait.h"
#include "driver/window_text.h"

namespace shredder::testing {
namespace {

struct Collect {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK TakeDialog(HWND window, LPARAM parameter) {
    auto& collect = *reinterpret_cast<Collect*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == collect.processId && ::IsWindowVisible(window) && ClassOf(window) == L"#32770") {
        collect.found.push_back(window);
    }
    return TRUE;
}

bool IsIcon(HWND control) {
    return ClassOf(control) == L"Static" && (::GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

// A box without an icon may keep an empty icon control.
bool ShowsAnIcon(HWND control) {
    DWORD_PTR icon = 0;
    ::SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_NORMAL, static_cast<UINT>(kPatience.count()), &icon);
    return icon != 0;
}

}  // namespace

bool Press(HWND button) {
    if (!button || !::IsWindowVisible(button) || !::IsWindowEnabled(button)) return false;
    // Posted, not sent: the click may open a modal box, and a sent message would wait for it.
    return ::PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

bool Press(HWND dialog, int buttonId) { return Press(::GetDlgItem(dialog, buttonId)); }

std::vector<HWND> DialogsOf(const Program& program) {
    Collect collect{program.processId(), {}};
    ::EnumWindows(TakeDialog, reinterpret_cast<LPARAM>(&collect));
    return collect.found;
}

HWND WaitForDialog(const Program& program) {
    HWND dialog = nullptr;
    WaitUntil([&] {
        const auto dialogs = DialogsOf(program);
        dialog = dialogs.empty() ? nullptr : dialogs.front();
        return dialog != nullptr;
    });
    return dialog;
}

bool WaitUntilClosed(HWND dialog) {
    return WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
}

MessageBoxView ReadMessageBox(HWND box) {
    MessageBoxView view;
    view.caption = TextOf(box);
    std::vector<std::pair<LONG, int>> buttons;  // left edge, id
    for (HWND child : ChildrenOf(box)) {
        if (!::IsWindowVisible(child)) continue;
        const std::wstring kind = ClassOf(child);
        if (IsIcon(child)) {
            if (ShowsAnIcon(child)) view.icon = child;
        } else if (kind == L"Static") {
            const std::wstring text = TextOf(child);
            if (!text.empty()) view.text += text;
        } else if (kind == L"Button") {
            buttons.emplace_back(RectIn(child, box).left, ::GetDlgCtrlID(child));
        }
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto& button : buttons) view.buttons.push_back(button.second);
    return view;
}

}  // namespace shredder::testing
