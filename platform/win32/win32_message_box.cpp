#include "platform/win32/win32_message_box.h"

#include "platform/win32/utf.h"

namespace shredder::win32 {
namespace {

UINT StyleOf(MessageButtons buttons, MessageIcon icon) {
    UINT style = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    switch (icon) {
        case MessageIcon::Question:
            style |= MB_ICONQUESTION;
            break;
        case MessageIcon::Error:
            style |= MB_ICONERROR;
            break;
        case MessageIcon::None:
            break;
    }
    return style;
}

}  // namespace

MessageResult Win32MessageBox::show(const std::string& text, const std::string& caption, MessageButtons buttons,
                                    MessageIcon icon) {
    const int pressed = ::MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), StyleOf(buttons, icon));
    // A box that could not be shown (0) answers Cancel: a confirmation nobody saw is no consent.
    return pressed == IDOK ? MessageResult::Ok : MessageResult::Cancel;
}

}  // namespace shredder::win32
