#include "driver/window_text.h"

#include "driver/wait.h"

namespace shredder::testing {
namespace {

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(kPatience.count()),
                               &answer)) {
        return -1;
    }
    return static_cast<LRESULT>(answer);
}

}  // namespace

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring TextOf(HWND window) {
    const LRESULT length = Ask(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

RECT RectIn(HWND window, HWND parent) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::vector<std::wstring> ListEntries(HWND list) {
    std::vector<std::wstring> entries;
    const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        const LRESULT length = Ask(list, LB_GETTEXTLEN, index, 0);
        std::wstring entry(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT copied = Ask(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        entries.push_back(entry);
    }
    return entries;
}

int ListSelection(HWND list) { return static_cast<int>(Ask(list, LB_GETCURSEL, 0, 0)); }

}  // namespace shredder::testing
