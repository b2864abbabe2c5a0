#pragma once

#include <windows.h>

namespace shredder::testing {

// Double-clicks with the real mouse at a point of a window's client area: the pointer moves
// there and the button goes down and up twice, as the system's input would deliver it.
bool DoubleClick(HWND window, POINT client);

}  // namespace shredder::testing
