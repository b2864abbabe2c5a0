// Reading a skin file's `key = value` lines into colours and a font.
#include "platform/skin_file.h"

#include <charconv>
#include <set>

namespace shredder {
namespace {

constexpr int kSmallestFont = 6;
constexpr int kLargestFont = 72;
constexpr std::size_t kLongestFontFace = 31;  // characters a LOGFONT face name holds

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::size_t CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;  // not a continuation byte
    }
    return count;
}

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

std::optional<Colour> ParseColour(std::string_view value) {
    if (value.size() != 7 || value[0] != '#') return std::nullopt;
    std::uint8_t channels[3]{};
    for (int i = 0; i < 3; ++i) {
        const auto high = HexDigit(value[static_cast<std::size_t>(1 + 2 * i)]);
        const auto low = HexDigit(value[static_cast<std::size_t>(2 + 2 * i)]);
        if (!high || !low) return std::nullopt;
        channels[i] = static_cast<std::uint8_t>(*high * 16 + *low);
    }
    return Colour{channels[0], channels[1], channels[2]};
}

std::optional<int> ParseFontSize(std::string_view value) {
    int points = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), points);
    if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    if (points < kSmallestFont || points > kLargestFont) return std::nullopt;
    return points;
}

// Applies one setting; false when the key is unknown or the value does not parse.
bool Apply(std::string_view key, std::string_view value, SkinStyle& style) {
    if (key == "window-background" || key == "list-background" || key == "text") {
        const auto colour = ParseColour(value);
        if (!colour) return false;
        (key == "text" ? style.textColour : key == "list-background" ? style.listBackground : style.windowBackground) =
            colour;
        return true;
    }
    if (key == "font") {
        if (value.empty() || CharacterCount(value) > kLongestFontFace) return false;
        style.fontFace = std::string(value);
        return true;
    }
    if (key == "font-size") {
        const auto points = ParseFontSize(value);
        if (!points) return false;
        style.fontPoints = *points;
        return true;
    }
    return false;
}

}  // namespace

std::optional<SkinStyle> ParseSkin(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    if (text.find('\0') != std::string_view::npos) return std::nullopt;  // not a text file

    SkinStyle style;
    std::set<std::string, std::less<>> seen;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        if (!seen.emplace(key).second) return std::nullopt;
        if (!Apply(key, value, style)) return std::nullopt;
    }
    return style;
}

}  // namespace shredder
