#pragma once

#include <cstdint>
#include <string>

namespace shredder::bench {

// Bytes the shred run will overwrite for this listed path: a regular file's size; 0 for a
// link (only the link is removed), a missing path or anything else.
std::uint64_t BytesToOverwrite(const std::string& path);

}  // namespace shredder::bench
