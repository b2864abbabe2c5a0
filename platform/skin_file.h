#pragma once

// A skin file's settings: the window's colours and font.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shredder {

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Colour&) const = default;
};

// The look a skin file asks for; whatever it leaves out keeps the system's default.
struct SkinStyle {
    std::optional<Colour> windowBackground;  // the form behind the controls
    std::optional<Colour> listBackground;    // the list of files
    std::optional<Colour> textColour;        // text on the form and in the list
    std::string fontFace;                    // "" keeps the system's message font
    int fontPoints = 0;                      // 0 keeps the system font's size
    bool operator==(const SkinStyle&) const = default;
};

// Reads our skin format: UTF-8 (a BOM allowed), one `key = value` a line, blank lines and lines
// starting with '#' ignored. Keys: window-background, list-background, text (colours as #RRGGBB),
// font (a face name), font-size (6..72 points). Anything else, a key given twice or a value
// that does not parse makes the whole file malformed: nothing is returned and the window keeps
// its default look rather than half a skin.
std::optional<SkinStyle> ParseSkin(std::string_view text);

}  // namespace shredder
