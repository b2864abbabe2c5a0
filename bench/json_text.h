#pragma once

#include <string>

namespace shredder::bench {

// `text` as a JSON string literal, quotes included. Bytes that are not UTF-8 become U+FFFD, so
// the line stays valid JSON whatever bytes a file name holds.
std::string JsonString(const std::string& text);

}  // namespace shredder::bench
