#pragma once

// The skin over the real window.
#include <optional>

#include "platform/ui.h"
#include "platform/skin_file.h"
#include "platform/win32/windows_api.h"

namespace shredder::win32 {

// Our own skin layer: reads a skin file (platform/skin_file.h) and restyles the main window
// with it: colours through WM_CTLCOLOR* and the background erase, the font through WM_SETFONT
// to every control. Until a skin is attached, both answers below leave the default look.
class Win32Skin final : public Skin {
public:
    explicit Win32Skin(HWND window) : window_(window) {}

    // 0 when the skin was applied, -1 when the file was missing or malformed.
    int SkinH_AttachEx(const std::string& skinFile, const std::string& second) override;

    // The brush for a WM_CTLCOLOR* message, with the colours set on `dc`; nullopt for the
    // system's default.
    std::optional<LRESULT> controlColours(UINT message, HDC dc) const;

    // Paints the window's background for WM_ERASEBKGND; false for the system's default.
    bool eraseBackground(HDC dc) const;

private:
    void applyFont();

    HWND window_;
    SkinStyle style_;
    unique_hbrush windowBrush_;
    unique_hbrush listBrush_;
    unique_hfont font_;
};

}  // namespace shredder::win32
