#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What a user reads off windows of another process.
namespace shredder::testing {

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
// The window's rectangle in the client coordinates of `parent`.
RECT RectIn(HWND window, HWND parent);
std::vector<HWND> ChildrenOf(HWND parent);  // direct children, in z-order (first is top)

std::vector<std::wstring> ListEntries(HWND list);
int ListSelection(HWND list);

}  // namespace shredder::testing
