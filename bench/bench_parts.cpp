// shred-bench's pieces that tests check: its arguments and its JSON strings.
#include "bench/bench_parts.h"

#include <cstdint>
#include <cstdio>

namespace shredder::bench {

std::optional<BenchArguments> ParseBenchArguments(const std::vector<std::string>& arguments) {
    BenchArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--list") {
            parsed.listOnly = true;
        } else if (!optionsEnded && argument == "--walk") {
            if (++i == arguments.size()) return std::nullopt;
            parsed.sources.push_back({Source::Kind::Walk, arguments[i]});
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-' && argument[1] == '-') {
            return std::nullopt;
        } else {
            parsed.sources.push_back({Source::Kind::File, argument});
        }
    }
    if (parsed.sources.empty()) return std::nullopt;
    return parsed;
}

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence at text[i], or 0 when there is none.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto code = static_cast<std::uint8_t>(c);
        if (code >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                out += kReplacement;
                ++i;
            } else {
                out.append(text, i, length);
                i += length;
            }
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (code < 0x20 || code == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
                    out += escaped;
                } else {
                    out += c;
                }
        }
        ++i;
    }
    out += '"';
    return out;
}

}  // namespace shredder::bench
