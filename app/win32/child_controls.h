#pragma once

#include <array>
#include <optional>

#include "app/layout.h"
#include "app/win32/window_failure.h"
#include "platform/win32/windows_api.h"

namespace shredder::app {

// The window's controls, indexed like layout::kControls.
using ChildControls = std::array<HWND, layout::kControls.size()>;

// Creates every control of the layout table in tab order, placed at the given DPI, each with
// the table's id as its child-window id and its caption, using `font`.
std::optional<WindowFailure> CreateChildControls(HWND parent, int dpi, HFONT font, ChildControls& controls);

// The control with the given child-window id; nullptr when there is none.
HWND ControlById(const ChildControls& controls, int id);

}  // namespace shredder::app
