#include "app/win32/child_controls.h"

#include <commctrl.h>

#include "platform/win32/utf.h"
#include "platform/win32/win32_error.h"

namespace shredder::app {
namespace {

struct ClassAndStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle ClassFor(layout::ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case layout::ControlKind::Button:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case layout::ControlKind::ListBox:
            // Insertion order, one selection, exactly the table's height, and both scroll bars
            // because full paths are long.
            return {WC_LISTBOXW,
                    kChild | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                    WS_EX_CLIENTEDGE};
        case layout::ControlKind::ProgressBar:
            // Shows, never takes the focus: no tab stop.
            return {PROGRESS_CLASSW, kChild, 0};
    }
    return {WC_STATICW, kChild, 0};
}

}  // namespace

std::optional<WindowFailure> CreateChildControls(HWND parent, int dpi, HFONT font, ChildControls& controls) {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::ControlLayout& c = layout::kControls[i];
        const ClassAndStyle kind = ClassFor(c.kind);
        const std::wstring caption = win32::Widen(c.caption);
        const HWND control = ::CreateWindowExW(
            kind.exStyle, kind.windowClass, caption.c_str(), kind.style, layout::TwipsToPixels(c.left, dpi),
            layout::TwipsToPixels(c.top, dpi), layout::TwipsToPixels(c.width, dpi),
            layout::TwipsToPixels(c.height, dpi), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
            instance, nullptr);
        if (!control) return WindowFailure{std::string("CreateWindowExW ") + c.name, win32::LastError()};
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls[i] = control;
    }
    return std::nullopt;
}

HWND ControlById(const ChildControls& controls, int id) {
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        if (layout::kControls[i].id == id) return controls[i];
    }
    return nullptr;
}

}  // namespace shredder::app
