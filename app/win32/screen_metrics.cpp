#include "app/win32/screen_metrics.h"

namespace shredder::app {

int ScreenDpi() {
    const win32::unique_screen_dc screen(::GetDC(nullptr));
    if (!screen) return USER_DEFAULT_SCREEN_DPI;
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

win32::unique_hfont CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return {};
    return win32::unique_hfont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace shredder::app
