#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver/program.h"

namespace shredder::testing {

// Presses a button as a user would; a disabled button cannot be pressed (false).
bool Press(HWND button);
bool Press(HWND dialog, int buttonId);

// The visible dialog windows ("#32770": message boxes, the open dialog, the folder browser)
// the program shows now.
std::vector<HWND> DialogsOf(const Program& program);
// Waits for the program to show a dialog; null when none came.
HWND WaitForDialog(const Program& program);
bool WaitUntilClosed(HWND dialog);

// A message box as the user sees it.
struct MessageBoxView {
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons;  // ids of the visible buttons (IDOK, IDCANCEL...) left to right
    HWND icon = nullptr;       // the icon shown, if any
};
MessageBoxView ReadMessageBox(HWND box);

}  // namespace shredder::testing
