// The skin applied to the real window: its colours and font.
#include "platform/win32/win32_skin.h"

#include "platform/win32/win32_text.h"

namespace shredder::win32 {
namespace {

// A skin is a few lines; anything bigger is not one.
constexpr std::size_t kLargestSkinFile = 64 * 1024;

// The whole content of a small file, or nothing when it is missing, unreadable or larger than
// `limit` bytes.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) {
    const std::optional<std::wstring> systemPath = ForFileCall(path);
    if (!systemPath) return std::nullopt;
    const unique_hfile file(::CreateFileW(systemPath->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > limit) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) return std::nullopt;
    content.resize(read);
    return content;
}

COLORREF ToColorRef(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }

unique_hbrush BrushFor(const std::optional<Colour>& colour) {
    if (!colour) return unique_hbrush();
    return unique_hbrush(::CreateSolidBrush(ToColorRef(*colour)));
}

int ScreenDpi() {
    const unique_screen_dc screen(::GetDC(nullptr));
    return screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
    ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

int Win32Skin::SkinH_AttachEx(const std::string& skinFile, const std::string& /*second*/) {
    const std::optional<std::string> text = ReadSmallFile(skinFile, kLargestSkinFile);
    if (!text) return -1;
    std::optional<SkinStyle> style = ParseSkin(*text);
    if (!style) return -1;

    style_ = std::move(*style);
    windowBrush_ = BrushFor(style_.windowBackground);
    listBrush_ = BrushFor(style_.listBackground);
    applyFont();
    ::InvalidateRect(window_, nullptr, TRUE);
    return 0;
}

void Win32Skin::applyFont() {
    if (style_.fontFace.empty() && style_.fontPoints == 0) return;
    // Start from the font the controls have, so whatever the skin does not name stays the same.
    LOGFONTW font{};
    const HWND anyChild = ::GetWindow(window_, GW_CHILD);
    const auto current = reinterpret_cast<HFONT>(::SendMessageW(anyChild ? anyChild : window_, WM_GETFONT, 0, 0));
    if (!::GetObjectW(current ? static_cast<HGDIOBJ>(current) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(font),
                      &font)) {
        return;
    }
    if (!style_.fontFace.empty()) {
        const std::wstring face = Widen(style_.fontFace);
        if (face.size() >= LF_FACESIZE) return;
        face.copy(font.lfFaceName, face.size());
        font.lfFaceName[face.size()] = L'\0';
        font.lfCharSet = DEFAULT_CHARSET;
    }
    if (style_.fontPoints != 0) font.lfHeight = -::MulDiv(style_.fontPoints, ScreenDpi(), 72);

    unique_hfont created(::CreateFontIndirectW(&font));
    if (!created) return;
    ::EnumChildWindows(window_, SetFontOnChild, reinterpret_cast<LPARAM>(created.get()));
    // The controls still refer to the old font until here: only now may it go.
    font_ = std::move(created);
}

std::optional<LRESULT> Win32Skin::controlColours(UINT message, HDC dc) const {
    if (message == WM_CTLCOLORLISTBOX && listBrush_) {
        if (style_.textColour) ::SetTextColor(dc, ToColorRef(*style_.textColour));
        ::SetBkColor(dc, ToColorRef(*style_.listBackground));
        return reinterpret_cast<LRESULT>(listBrush_.get());
    }
    if ((message == WM_CTLCOLORBTN || message == WM_CTLCOLORSTATIC) && windowBrush_) {
        // Around themed buttons: the window's colour, so their corners do not show grey.
        if (style_.textColour) ::SetTextColor(dc, ToColorRef(*style_.textColour));
        ::SetBkColor(dc, ToColorRef(*style_.windowBackground));
        return reinterpret_cast<LRESULT>(windowBrush_.get());
    }
    return std::nullopt;
}

bool Win32Skin::eraseBackground(HDC dc) const {
    if (!windowBrush_) return false;
    RECT client{};
    if (!::GetClientRect(window_, &client)) return false;
    return ::FillRect(dc, &client, windowBrush_.get()) != 0;
}

}  // namespace shredder::win32
