#pragma once

// The bench tool's own parts: its command line and the JSON line it prints.
#include <optional>
#include <string>
#include <vector>

namespace shredder::bench {

struct Source {
    enum class Kind { File, Walk };
    Kind kind = Kind::File;
    std::string path;
};

struct BenchArguments {
    bool listOnly = false;
    std::vector<Source> sources;  // in the order given
};

inline constexpr char kUsage[] = "usage: shred-bench [--list] [--walk DIR]... [--] FILE...";

// The command line without the program name; nullopt when it cannot be understood.
std::optional<BenchArguments> ParseBenchArguments(const std::vector<std::string>& arguments);

// `text` as a JSON string literal, quotes included. Bytes that are not UTF-8 become U+FFFD, so
// the line stays valid JSON whatever bytes a file name holds.
std::string JsonString(const std::string& text);

}  // namespace shredder::bench
