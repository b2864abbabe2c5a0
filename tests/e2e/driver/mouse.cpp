#include "driver/mouse.h"

#include <array>

namespace shredder::testing {
namespace {

INPUT MouseInput(DWORD flags, POINT screen) {
    // Absolute positions run from 0 to 65535 across the primary screen.
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, width - 1);
    input.mi.dy = MulDiv(screen.y, 65535, height - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

}  // namespace

bool DoubleClick(HWND window, POINT client) {
    POINT screen = client;
    ::ClientToScreen(window, &screen);
    std::array<INPUT, 5> inputs{
        MouseInput(MOUSEEVENTF_MOVE, screen),     MouseInput(MOUSEEVENTF_LEFTDOWN, screen),
        MouseInput(MOUSEEVENTF_LEFTUP, screen),   MouseInput(MOUSEEVENTF_LEFTDOWN, screen),
        MouseInput(MOUSEEVENTF_LEFTUP, screen),
    };
    const UINT count = static_cast<UINT>(inputs.size());
    return ::SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

}  // namespace shredder::testing
