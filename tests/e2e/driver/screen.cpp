#include "driver/screen.h"

#include <cstdlib>
#include <fstream>

namespace shredder::testing {
namespace {

// A 32-bit top-down bitmap selected into a memory DC, released together.
class Canvas {
public:
    Canvas(int width, int height) : screen_(::GetDC(nullptr)), dc_(::CreateCompatibleDC(screen_)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = ::SelectObject(dc_, bitmap_);
        bits_ = static_cast<const std::uint32_t*>(bits);
        width_ = width;
        height_ = height;
    }
    ~Canvas() {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
        ::ReleaseDC(nullptr, screen_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HDC screen() const { return screen_; }
    Image image() const {
        ::GdiFlush();
        Image result{width_, height_, {}};
        const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
        result.pixels.assign(bits_, bits_ + count);
        for (auto& pixel : result.pixels) pixel &= 0x00FFFFFF;
        return result;
    }

private:
    HDC screen_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

bool Close(std::uint32_t a, std::uint32_t b) {
    constexpr int kTolerance = 24;
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > kTolerance) return false;
    }
    return true;
}

template <typename T>
void Put(std::ofstream& out, T value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof(value));
}

}  // namespace

Image CaptureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return {};
    Canvas canvas(width, height);
    ::BitBlt(canvas.dc(), 0, 0, width, height, canvas.screen(), rect.left, rect.top, SRCCOPY);
    return canvas.image();
}

Image CaptureWindow(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return CaptureScreen(rect);
}

Image CaptureClient(HWND control) {
    RECT rect{};
    ::GetClientRect(control, &rect);
    ::MapWindowPoints(control, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return CaptureScreen(rect);
}

bool SaveBmp(const Image& image, const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const auto imageBytes = static_cast<DWORD>(image.pixels.size() * 4);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = image.width;
    info.biHeight = -image.height;  // top-down rows, as captured
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    Put(out, header);
    Put(out, info);
    out.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(imageBytes));
    return static_cast<bool>(out.flush());
}

double IconLikeness(HWND iconControl, LPCWSTR systemIcon) {
    const Image shown = CaptureClient(iconControl);
    if (shown.pixels.empty()) return 0;
    // The icon drawn by hand on the background the control shows in its corner.
    Canvas expected(shown.width, shown.height);
    HBRUSH background = ::CreateSolidBrush(RGB(Channel(shown.at(0, 0), 16), Channel(shown.at(0, 0), 8),
                                               Channel(shown.at(0, 0), 0)));
    const RECT all{0, 0, shown.width, shown.height};
    ::FillRect(expected.dc(), &all, background);
    ::DeleteObject(background);
    ::DrawIconEx(expected.dc(), 0, 0, ::LoadIconW(nullptr, systemIcon), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    const Image drawn = expected.image();
    size_t alike = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i) alike += Close(shown.pixels[i], drawn.pixels[i]) ? 1u : 0u;
    return static_cast<double>(alike) / static_cast<double>(shown.pixels.size());
}

}  // namespace shredder::testing
