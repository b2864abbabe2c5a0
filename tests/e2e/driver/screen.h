#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

// What is on the screen, read back the way a screenshot tool reads it.
namespace shredder::testing {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom

    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Image CaptureScreen(const RECT& screenRect);
// The whole window with its frame and title bar, as shown.
Image CaptureWindow(HWND window);
// The client area of a control, as shown.
Image CaptureClient(HWND control);
bool SaveBmp(const Image& image, const std::filesystem::path& file);

// How alike (0..1) the icon a Static control shows is to one of the system's icons
// (IDI_ERROR, IDI_QUESTION...), pixel by pixel.
double IconLikeness(HWND iconControl, LPCWSTR systemIcon);

}  // namespace shredder::testing
