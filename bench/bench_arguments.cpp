#include "bench/bench_arguments.h"

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

}  // namespace shredder::bench
