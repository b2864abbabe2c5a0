#pragma once

#include <optional>
#include <string>

namespace shredder::win32 {

// The whole content of a small file, or nothing when it is missing, unreadable or larger than
// `limit` bytes.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit);

}  // namespace shredder::win32
