#include "collect/open_answer.h"

namespace shredder {

std::vector<std::string> PathsFromOpenAnswer(std::string_view answer, char separator) {
    std::vector<std::string> paths;
    if (answer.empty()) return paths;

    const std::size_t firstNul = answer.find('\0');
    if (firstNul == std::string_view::npos) {
        paths.emplace_back(answer);
        return paths;
    }

    // A drive root such as C:\ already ends in a separator; nothing is doubled.
    const std::string folder = WithTrailingSeparator(std::string(answer.substr(0, firstNul)), separator);
    std::size_t start = firstNul + 1;
    while (start <= answer.size()) {
        std::size_t end = answer.find('\0', start);
        if (end == std::string_view::npos) end = answer.size();
        paths.push_back(folder + std::string(answer.substr(start, end - start)));
        start = end + 1;
    }
    return paths;
}

}  // namespace shredder
