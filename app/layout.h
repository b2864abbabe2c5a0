#pragma once

// Where the window's controls stand, in twips, and their ids and captions.
#include <array>

#include "app/texts.h"

namespace shredder::layout {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidthTwips = 6870;
inline constexpr int kClientHeightTwips = 4425;

enum class ControlKind { Button, ListBox, ProgressBar };

struct ControlLayout {
    int id;  // the child-window id, also the control's place in the tab order + 1001
    const char* name;
    ControlKind kind;
    const char* caption;  // UTF-8; empty for the list and the bar
    int left, top, width, height;  // twips from the client area's top-left corner
};

// In tab order.
inline constexpr std::array<ControlLayout, 7> kControls{{
    {1001, "Command1", ControlKind::Button, texts::kAddFiles, 240, 3840, 1095, 495},
    {1002, "Command2", ControlKind::Button, texts::kAddFolder, 1560, 3840, 1095, 495},
    {1003, "Command3", ControlKind::Button, texts::kStartShredding, 2760, 3840, 1215, 495},
    {1004, "Command4", ControlKind::Button, texts::kClearList, 4080, 3840, 1215, 495},
    {1005, "List1", ControlKind::ListBox, "", 240, 240, 6375, 2940},
    {1006, "Command5", ControlKind::Button, texts::kExit, 5400, 3840, 1335, 495},
    {1007, "jdt", ControlKind::ProgressBar, "", 240, 3360, 6375, 255},
}};

inline constexpr int kCommand1 = 1001;
inline constexpr int kCommand2 = 1002;
inline constexpr int kCommand3 = 1003;
inline constexpr int kCommand4 = 1004;
inline constexpr int kList1 = 1005;
inline constexpr int kCommand5 = 1006;
inline constexpr int kJdt = 1007;

// Twips to pixels at the given DPI, rounded to nearest as MulDiv does.
constexpr int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>((static_cast<long long>(twips) * dpi + kTwipsPerInch / 2) / kTwipsPerInch);
}

}  // namespace shredder::layout
