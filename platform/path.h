#pragma once

#include <string>

namespace shredder {

// Paths are UTF-8 text in the native form: backslashes on Windows, slashes elsewhere.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A folder path made to end in exactly one separator, ready for a name to be appended.
inline std::string WithTrailingSeparator(std::string folder, char separator = kPathSeparator) {
    if (folder.empty() || folder.back() != separator) folder += separator;
    return folder;
}

}  // namespace shredder
