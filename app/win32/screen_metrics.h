#pragma once

#include "platform/win32/unique_handle.h"

namespace shredder::app {

// The program is system-DPI aware: one DPI for the whole session, the screen's.
int ScreenDpi();

// The system's message font (what dialogs use, with its CJK fallback), or nothing when the
// system cannot say; the stock GUI font is the caller's fallback.
win32::unique_hfont CreateMessageFont();

}  // namespace shredder::app
